// Finding items among siblings, sorting siblings and sorted inserts.
#include <string>
#include <vector>

#include "controls/treelist/item_handles.h"
#include "controls/treelist/treelist_window.h"

namespace {

WCHAR FoldAZ(WCHAR ch) { return (ch >= L'A' && ch <= L'Z') ? static_cast<WCHAR>(ch + 32) : ch; }

bool EqualTexts(std::wstring_view a, std::wstring_view b, bool noCase) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (noCase ? FoldAZ(a[i]) != FoldAZ(b[i]) : a[i] != b[i]) return false;
    }
    return true;
}

// Sorts with a three-way quicksort whose pivot is the middle element swapped to the front.
// Each element is compared with the pivot once per pass, so a compare function that
// contradicts itself gives a strange order, never an out-of-bounds access.
template <typename Less3>
void QuickSort(std::vector<ItemIndex>& a, std::ptrdiff_t lo, std::ptrdiff_t hi, Less3& compare) {
    while (lo < hi) {
        std::swap(a[static_cast<std::size_t>(lo)], a[static_cast<std::size_t>(lo + (hi - lo) / 2)]);
        const ItemIndex pivot = a[static_cast<std::size_t>(lo)];
        std::ptrdiff_t lt = lo;
        std::ptrdiff_t gt = hi;
        std::ptrdiff_t i = lo + 1;
        while (i <= gt) {
            const int c = compare(a[static_cast<std::size_t>(i)], pivot);
            if (c < 0)
                std::swap(a[static_cast<std::size_t>(lt++)], a[static_cast<std::size_t>(i++)]);
            else if (c > 0)
                std::swap(a[static_cast<std::size_t>(i)], a[static_cast<std::size_t>(gt--)]);
            else
                ++i;
        }
        if (lt - lo < hi - gt) {
            QuickSort(a, lo, lt - 1, compare);
            lo = gt + 1;
        } else {
            QuickSort(a, gt + 1, hi, compare);
            hi = lt - 1;
        }
    }
}

}  // namespace

int TreeListWindow::CompareTextsNoCase(std::wstring_view a, std::wstring_view b) const {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const WCHAR x = FoldAZ(a[i]);
        const WCHAR y = FoldAZ(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

HTREEITEM TreeListWindow::FindItem(HTREEITEM start, const TLFINDITEM& find) {
    start = NormalizeHandle(start);
    ItemIndex handle;
    if (find.uFlags & TVIF_FINDFIRSTCHILD) {
        handle = start == TVI_ROOT || start == 0
                     ? items_.FirstRoot()
                     : (items_.Get(IndexOfHandle(start)) ? items_.Get(IndexOfHandle(start))->firstChild : 0);
    } else if (find.uFlags & TVIF_FINDNEXTSIBLING) {
        const TreeItem* item = items_.Get(IndexOfHandle(start));
        handle = item ? item->nextSibling : 0;
    } else {
        handle = start == TVI_ROOT ? items_.FirstRoot() : IndexOfHandle(start);
    }
    const std::wstring_view wanted = find.pText ? std::wstring_view(find.pText) : std::wstring_view();
    while (const TreeItem* item = items_.Get(handle)) {
        const ItemIndex next = item->nextSibling;
        bool match = true;
        if ((find.uFlags & TVIF_FINDPARAM) && item->lParam != find.lParam) match = false;
        if (match && (find.uFlags & TVIF_FINDSTATE)) {
            UINT state = item->state;
            if (find.uColumn > 0) {
                const TreeCell* cell = item->Cell(find.uColumn);
                state = cell ? cell->state : (item->state & 0x11);
            }
            if ((state ^ find.uState) & find.uStateMask) match = false;
        }
        if (match && (find.uFlags & TVIF_FINDTEXT)) {
            const ItemTextRef text = TextOf(handle, find.uColumn);
            match = EqualTexts(text.text, wanted, (find.uFlags & TVIF_FINDNOCASE) != 0);
        }
        if (!items_.Get(handle)) {
            // The parent deleted the item while answering; go on only if its sibling is still there.
            handle = items_.Get(next) ? next : 0;
            continue;
        }
        if (match) return handle;
        handle = items_.Get(handle)->nextSibling;
    }
    return 0;
}

bool TreeListWindow::SortChildren(ItemIndex parent, bool recurse, int kind, LPARAM function, LPARAM value) {
    if (parent && !items_.Get(parent)) return false;
    std::vector<ItemIndex> children;
    for (ItemIndex h = items_.FirstChildOf(parent); h; h = items_.Get(h)->nextSibling) children.push_back(h);

    ++sorting_;
    if (children.size() > 1) {
        // Sort positions into `children`, so the keys can live in a small local array.
        std::vector<ItemIndex> order(children.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<ItemIndex>(i);
        const auto last = static_cast<std::ptrdiff_t>(order.size()) - 1;
        if (kind == 0) {
            std::vector<std::wstring> texts;
            texts.reserve(children.size());
            for (ItemIndex h : children) texts.emplace_back(TextOf(h, 0).text);
            auto compare = [&](ItemIndex a, ItemIndex b) { return CompareTextsNoCase(texts[a], texts[b]); };
            QuickSort(order, 0, last, compare);
        } else if (kind == 1) {
            const auto fn = reinterpret_cast<PFNTVCOMPARE>(function);
            auto compare = [&](ItemIndex a, ItemIndex b) {
                const LPARAM pa = items_.Get(children[a])->lParam;
                const LPARAM pb = items_.Get(children[b])->lParam;
                WindowLockRelease release(lock_);
                return fn(pa, pb, value);
            };
            if (fn) QuickSort(order, 0, last, compare);
        } else {
            const auto fn = reinterpret_cast<PFNTLCOMPARE>(function);
            auto compare = [&](ItemIndex a, ItemIndex b) {
                const ItemIndex ha = children[a];
                const ItemIndex hb = children[b];
                const LPARAM pa = items_.Get(ha)->lParam;
                const LPARAM pb = items_.Get(hb)->lParam;
                WindowLockRelease release(lock_);
                return fn(GetSafeHwnd(), ha, hb, pa, pb, value);
            };
            if (fn) QuickSort(order, 0, last, compare);
        }
        std::vector<ItemIndex> sorted;
        sorted.reserve(order.size());
        for (ItemIndex position : order) sorted.push_back(children[position]);
        children = std::move(sorted);
        items_.SetChildOrder(parent, children);
    }
    --sorting_;
    if (recurse) {
        for (ItemIndex h : children)
            if (items_.Get(h) && items_.Get(h)->firstChild) SortChildren(h, true, kind, function, value);
    }
    InvalidateAll();
    return true;
}

ItemIndex TreeListWindow::SortedPosition(ItemIndex parent, ItemIndex handle, PFNTLINSERTCOMPARE compare) {
    std::vector<ItemIndex> siblings;
    for (ItemIndex h = items_.FirstChildOf(parent); h; h = items_.Get(h)->nextSibling) siblings.push_back(h);
    if (siblings.empty()) return 0;

    ++sorting_;
    const std::wstring newText(TextOf(handle, 0).text);
    const LPARAM newParam = items_.Get(handle) ? items_.Get(handle)->lParam : 0;
    std::size_t lo = 0;
    std::size_t hi = siblings.size();
    while (lo < hi && items_.Get(handle)) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const ItemIndex sibling = siblings[mid];
        int order;
        if (compare) {
            const std::wstring siblingText(TextOf(sibling, 0).text);
            const LPARAM siblingParam = items_.Get(sibling)->lParam;
            WindowLockRelease release(lock_);
            order = compare(GetSafeHwnd(), sibling, siblingText.c_str(), newText.c_str(), siblingParam, newParam);
        } else {
            order = CompareTextsNoCase(TextOf(sibling, 0).text, newText);
        }
        // An equal text goes before its equal.
        if (order >= 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    --sorting_;
    return lo < siblings.size() ? siblings[lo] : 0;
}
