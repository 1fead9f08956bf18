#pragma once
// The "TreeList" window: a tree view with columns. It is a message window: all of its
// behaviour is reached through its window procedure (SendMessage to its HWND, or Message()
// on the GUI thread), and it reports to its parent window with WM_NOTIFY. Qt's paint,
// mouse, keyboard, wheel and focus events are turned into the same messages, so the control
// behaves the same whether a person or a test drives it.
//
// A message that carries a drawing object carries the Qt one: WM_PAINT's wParam may be a
// QPainter* to paint the client area into, and WM_SETFONT's wParam is a const QFont*.
// Image lists are ImageList*.
//
// The implementation is spread over files by topic: treelist_window.cpp (life, fonts,
// colours, styles), treelist_messages.cpp (the dispatcher), treelist_items.cpp (insert, set,
// get, delete), treelist_navigation.cpp, treelist_expand.cpp, treelist_select.cpp,
// treelist_find_sort.cpp, treelist_columns.cpp, treelist_scroll.cpp, treelist_paint.cpp,
// treelist_hittest.cpp, treelist_mouse.cpp, treelist_keyboard.cpp, treelist_edit.cpp,
// treelist_tooltip.cpp and treelist_qt_events.cpp.

#include <QAbstractScrollArea>
#include <QFont>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "controls/image_list.h"
#include "controls/treelist/column_layout.h"
#include "controls/treelist/tree_colors.h"
#include "controls/treelist/tree_item_table.h"
#include "controls/treelist/treelist_defs.h"
#include "controls/treelist/window_lock.h"
#include "platform/qt/message_window.h"

class QPainter;
class TreeListHeader;
class TreeListEditor;

class TreeListWindow : public QAbstractScrollArea, public plat::MessageWindow {
    Q_OBJECT
public:
    // `style` is the window style word (WS_* and TVS_* bits); `id` the control id that
    // notifications carry.
    explicit TreeListWindow(DWORD style, QWidget* parent = nullptr, UINT id = 0);
    ~TreeListWindow() override;

    UINT ControlId() const { return id_; }

    // The in-place editor while an edit runs (a QLineEdit or QComboBox), else null.
    QWidget* EditorWidget() const;
    // The tip shown or waiting to be shown, empty when none.
    std::wstring TooltipText() const { return tipText_; }

protected:
    // The window procedure of the class.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class TreeListHeader;

    // Results of a hit test.
    struct Hit {
        UINT flags = 0;
        ItemIndex item = 0;
        unsigned column = 0;
    };
    // A text to draw or compare: the stored text, or the parent's answer to a callback.
    struct ItemTextRef {
        std::wstring_view text;
        bool callback = false;
    };

    // --- treelist_window.cpp: life, identity, notifications, metrics, styles
    LRESULT SendToParent(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Notify(NMHDR& header, UINT code);
    LRESULT NotifyCode(UINT code);
    LRESULT NotifyItem(UINT code, UINT action, ItemIndex oldItem, unsigned oldColumn, ItemIndex newItem,
                       unsigned newColumn, POINT point = {});
    void FillItemRecord(TVITEMW& record, ItemIndex item, unsigned column, UINT mask);
    void UpdateSystemColors();
    void ApplyFont(const QFont& font);
    void UpdateItemHeight();
    int AutomaticItemHeight() const;
    void SetItemHeight(int height);
    void OnStyleChanged(DWORD oldStyle, DWORD newStyle);
    LRESULT SetExtendedStyle(DWORD mask, DWORD bits);
    void UpdateLinesAtRoot();
    void UpdateCheckBoxImages();
    void SetImageList(UINT kind, ImageList* list);
    ImageList* ImageListOf(UINT kind) const;
    ImageList* CellIconList() const;
    void OnSetFocus();
    void OnKillFocus();
    void OnEnable(bool enable);
    void DestroyContents();

    // --- treelist_items.cpp
    HTREEITEM InsertItem(const TVINSERTSTRUCTW& insert);
    LRESULT SetItem(const TVITEMW& record);
    bool GetItem(TVITEMW& record);
    bool DeleteItem(ItemIndex item, bool asked);
    void DeleteAllItems();
    TreeCell* EnsureCell(TreeItem& item, unsigned column);
    void SetItemText(TreeItem& item, const WCHAR* text);
    void ApplyChildren(TreeItem& item, int children, bool given);
    ItemTextRef TextOf(ItemIndex item, unsigned column);
    int ImageOf(ItemIndex item, bool selected);
    bool HasChildrenOf(ItemIndex item);
    void DropCachedWidths();

    // --- treelist_navigation.cpp
    HTREEITEM GetNextItem(UINT code, HTREEITEM from);
    LRESULT GetItemRect(WPARAM mode, RECT* rect);
    LRESULT GetItemColor(ItemIndex item, unsigned column, bool background);
    LRESULT SetItemColor(WPARAM itemAndColumn, COLORREF color, bool background);
    ItemIndex NextSelected(ItemIndex from, bool withinSubtree);

    // --- treelist_expand.cpp
    bool Expand(ItemIndex item, UINT action);
    bool ToggleExpand(ItemIndex item, bool expand, UINT action);
    LRESULT EnsureVisible(ItemIndex item, unsigned column);
    bool ScrollToFirst(ItemIndex item);

    // --- treelist_select.cpp
    LRESULT SelectItem(ItemIndex item, unsigned column, UINT flags);
    bool SetSelected(ItemIndex item, bool selected, UINT action);
    void DeselectAllBut(ItemIndex keep, UINT action);
    void SelectRange(ItemIndex from, ItemIndex to, UINT action, bool clearOthers);
    void ToggleWithHidden(ItemIndex item, UINT action);
    void ClearFocusMarks();
    void SetDropHighlight(ItemIndex item, unsigned column);
    ItemIndex SetInsertMark(ItemIndex item, bool after);
    void SingleExpand(ItemIndex oldCaret, ItemIndex newCaret);

    // --- treelist_find_sort.cpp
    HTREEITEM FindItem(HTREEITEM start, const TLFINDITEM& find);
    bool SortChildren(ItemIndex parent, bool recurse, int kind, LPARAM function, LPARAM value);
    int CompareTextsNoCase(std::wstring_view a, std::wstring_view b) const;
    ItemIndex SortedPosition(ItemIndex parent, ItemIndex item, PFNTLINSERTCOMPARE compare);

    // --- treelist_columns.cpp
    int InsertColumn(unsigned position, const TV_COLUMN& record);
    bool DeleteColumn(unsigned column);
    bool SetColumnAutoEdit(WPARAM flags, LPARAM value);
    bool GetColumn(unsigned column, TV_COLUMN& record);
    bool SetColumn(unsigned column, const TV_COLUMN& record);
    LRESULT SetColumnWidth(unsigned column, int width);
    LRESULT OnHeaderNotify(NMHDR& header);
    void TrackColumn(unsigned column, int width);
    int OptimalWidth(unsigned column);
    void ColumnsChanged();
    void ShowHeader();
    int ColumnLeft(unsigned column) const;
    int ColumnRight(unsigned column) const;
    unsigned ColumnCount() const { return columns_.Count(); }

    // --- treelist_scroll.cpp
    void OnSize(int width, int height);
    void UpdatePageRows();
    void VScroll(UINT code, int position);
    void HScroll(UINT code, int position);
    void OnWheel(WPARAM wParam);
    void SetFirstRow(int row);
    void SetHScroll(int position);
    int MaxFirstRow();
    int MaxHScroll() const;
    int ContentWidth() const;
    void UpdateScrollBars(bool force = false);

    // --- treelist_paint.cpp
    void Paint(QPainter& painter, const QRect& update);
    void PaintRow(QPainter& painter, int row, int y, const QRect& update);
    void PaintTreeColumn(QPainter& painter, ItemIndex item, int y, COLORREF rowColor);
    void PaintCell(QPainter& painter, ItemIndex item, unsigned column, int y, COLORREF cellColor);
    int MeasureText(std::wstring_view text, bool bold) const;
    void InvalidateItem(ItemIndex item);
    void InvalidateAll();
    // WM_SETREDRAW: while redraw is off, changes only note that the rows need painting
    // (the system's own paints still come); turned back on, what was noted is painted.
    void SetRedraw(bool on);
    LRESULT CreateDragImage(unsigned column, ItemIndex item);

    // --- treelist_hittest.cpp
    Hit HitTest(POINT point);
    int TextStartInColumn0(const TreeItem& item) const;
    bool ShowsIcon(const TreeItem& item) const;

    // --- treelist_mouse.cpp
    void OnMouseButton(UINT message, WPARAM keys, POINT point);
    void OnMouseMove(WPARAM keys, POINT point);
    void OnButtonUp();
    void FlipCheckBox(ItemIndex item, unsigned column);

    // --- treelist_keyboard.cpp
    void OnKeyDown(UINT key);
    void OnChar(wchar_t ch);
    void MoveCaretToRow(int row, unsigned column);
    bool IncrementalSearchFor(wchar_t ch);
    bool ControlHeld() const;
    bool ShiftHeld() const;

    // --- treelist_edit.cpp
    LRESULT StartEdit(unsigned column, UINT key, POINT point);
    LRESULT BeginEdit(ItemIndex item, unsigned column, unsigned editorKind, wchar_t typed = 0);
    void EndEdit(int mode, bool focusBack = true);
    void OnEditCommand(UINT code);
    void StepValue(ItemIndex item, unsigned column, POINT point);
    bool CellReadOnly(ItemIndex item, unsigned column);

    // --- treelist_tooltip.cpp
    void TrackTooltip(const Hit& hit, POINT point);
    void OnTooltipTimer();
    void OnTooltipDelayTick();
    void HideTooltip();
    void ShowTooltip(const std::wstring& text, POINT at, bool bold);

    // --- treelist_messages.cpp
    LRESULT TreeListWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnTreeViewMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnOwnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // --- identity
    UINT id_ = 0;
    WindowLock lock_;
    bool destroying_ = false;

    // --- image lists: normal, state, cell check boxes, cell icons
    struct ImageSlot {
        ImageList* list = nullptr;
        std::unique_ptr<ImageList> owned;  // a list the control generated
    };
    ImageSlot normalImages_;
    ImageSlot stateImages_;
    ImageSlot checkImages_;
    ImageSlot cellImages_;

    // --- fonts and text metrics
    QFont font_;
    QFont boldFont_;
    int textHeight_ = 0;
    int textAscent_ = 0;
    bool variablePitch_ = true;
    int ellipsisWidth_ = 0;
    int boldEllipsisWidth_ = 0;

    // --- child windows
    std::unique_ptr<TreeListHeader> header_;
    std::unique_ptr<TreeListEditor> editor_;
    std::unique_ptr<TreeListEditor> retiredEditor_;  // ended, deleted once its own event is over
    HWND tooltipWindow_ = nullptr;                   // one set with TVM_SETTOOLTIPS; tips are shown with QToolTip
    bool tooltipsOn_ = false;

    TreeColors colors_;

    // --- geometry
    int indent_ = 19;
    int buttonOffset_ = 7;
    int itemHeight_ = 16;
    bool fixedHeight_ = false;
    int headerHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int rowsPerPageUp_ = 0;    // partial row counted
    int rowsPerPageDown_ = 0;  // whole rows only
    int firstRow_ = 0;
    int hscroll_ = 0;
    int widestRight_ = 0;  // right end of the widest text drawn + 5

    // --- items and columns
    TreeItemTable items_;
    std::size_t userDataSize_ = 0;
    ColumnLayout columns_;
    int markedColumns_ = 0;

    // --- styles
    DWORD style_ = 0;
    DWORD exStyle_ = 0;

    // --- caret, selection and marks
    ItemIndex caret_ = 0;
    unsigned caretColumn_ = 0;
    ItemIndex focusItem_ = 0;
    unsigned focusColumn_ = 0;
    ItemIndex dropItem_ = 0;
    unsigned dropColumn_ = 0;
    ItemIndex insertMark_ = 0;
    ItemIndex anchor_ = 0;
    std::uint32_t selectedCount_ = 0;

    // --- tooltip hover
    ItemIndex hoverItem_ = 0;
    unsigned hoverColumn_ = 0;
    int hoverCountdown_ = 0;
    POINT hoverPoint_{};
    bool tipShown_ = false;
    std::wstring tipText_;
    QTimer tooltipTimer_;
    QTimer tooltipDelayTimer_;

    // --- in-place edit
    ItemIndex editItem_ = 0;
    unsigned editColumn_ = 0;
    unsigned editKind_ = 0;
    bool editTextChanged_ = false;
    bool editTextCallback_ = false;

    // --- mouse
    UINT dragButton_ = 0;  // WM_LBUTTONDOWN or WM_RBUTTONDOWN remembered for a drag
    ItemIndex dragItem_ = 0;
    unsigned dragColumn_ = 0;
    POINT dragPoint_{};
    bool pendingClick_ = false;
    ItemIndex pendingItem_ = 0;
    unsigned pendingColumn_ = 0;

    // --- keyboard
    LRESULT keyClaimed_ = 0;  // the parent's answer to TVN_KEYDOWN, for the character that follows
    bool modifiersFromEvent_ = false;
    Qt::KeyboardModifiers eventModifiers_;

    // --- scroll bars
    int lastVMax_ = -1;
    int lastVPage_ = -1;
    int lastHMax_ = -1;
    int lastHPage_ = -1;
    bool settingScrollBars_ = false;

    // --- flags
    int sorting_ = 0;  // a sort or sorted insert runs: inserts and deletes are refused
    bool hasFocus_ = false;
    bool enabled_ = true;
    bool linesAtRoot_ = false;
    bool redrawHeld_ = false;   // WM_SETREDRAW off
    bool heldRepaint_ = false;  // something changed while redraw was off

    // Buffers the parent fills for display callbacks.
    std::array<WCHAR, TVL_TEXTBUFFER + 1> dispText_{};
    std::wstring dispTextCopy_;
};
