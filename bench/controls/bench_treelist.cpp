// TreeList speed with a task window's load: 1,000 folders of 100 files (100,000 rows with
// six cells each), filled the way the task window fills it, then one screen painted, a
// scroll to the end and its screen, and the list cleared. Goals: fill under one second,
// a painted screen under 16 ms.
//
//   build/bench/bench_treelist [folders] [files per folder]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/tree_list_ctrl.h"
#include "controls/treelist/treelist_window.h"
#include "platform/qt/message_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The task window's part: it answers the notifications (and counts the deletions).
class Parent : public QWidget, public plat::MessageWindow {
public:
    Parent() : plat::MessageWindow(this) {}
    long deletions = 0;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM, LPARAM lParam) override {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TVN_DELETEITEMA) ++deletions;
        return 0;
    }
};

double PaintScreen(TreeListWindow& window, QImage& image) {
    const auto start = Clock::now();
    QPainter painter(&image);
    window.Message(WM_PAINT, reinterpret_cast<WPARAM>(&painter), 0);
    return MsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const int folders = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int files = argc > 2 ? std::atoi(argv[2]) : 100;

    Parent parent;
    parent.resize(1000, 700);
    CTreeListCtrl list;
    list.Create(0x50801087, RECT{0, 0, 1000, 700}, &parent, 47945);
    list.SetExtendedStyle(0, 0x91000);
    const char* titles[] = {"Name", "L Size", "L Date", "Action/Results", "R Size", "R Date", "Status"};
    const int widths[] = {200, 100, 100, 100, 100, 100, 200};
    for (int c = 0; c < 7; ++c) list.InsertColumn(c, titles[c], -1, widths[c], 0x8000);
    auto& window = *qobject_cast<TreeListWindow*>(list.GetWidget());

    const auto fillStart = Clock::now();
    const HTREEITEM task =
        list.InsertItemW(TVIF_TEXT | TVIF_STATE, L"Benchmark task", 0, 0, TVIS_BOLD, TVIS_BOLD, 0, TVI_ROOT, TVI_LAST);
    for (int f = 0; f < folders; ++f) {
        const std::wstring folderName = L"Folder " + std::to_wstring(f);
        const HTREEITEM folder = list.InsertItemW(TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE,
                                                  folderName.c_str(), 1, 1, TVIS_BOLD, TVIS_BOLD, 0, task, TVI_LAST);
        list.SetItemW(folder, 1, TVIF_TEXT, L"folder", 0, 0, 0, 0, 0);
        list.SetItemW(folder, 2, TVIF_TEXT, L"folder", 0, 0, 0, 0, 0);
        list.SetItemW(folder, 4, TVIF_TEXT, L"folder", 0, 0, 0, 0, 0);
        list.SetItemW(folder, 5, TVIF_TEXT, L"folder", 0, 0, 0, 0, 0);
        list.Expand(folder, TVE_EXPAND);
        for (int i = 0; i < files; ++i) {
            const std::wstring name =
                L"document number " + std::to_wstring(i) + L" of folder " + std::to_wstring(f) + L".txt";
            const HTREEITEM row = list.InsertItemW(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                                   name.c_str(), 2, 2, 0, 0, static_cast<LPARAM>(i), folder, TVI_LAST);
            const std::wstring size = std::to_wstring(1 + i * 37 % 9000) + L" KB";
            list.SetItemW(row, 1, TVIF_TEXT, size.c_str(), 0, 0, 0, 0, 0);
            list.SetItemW(row, 2, TVIF_TEXT, L"2024-05-17 10:42", 0, 0, 0, 0, 0);
            list.SetItemW(row, 3, TVIF_TEXT | TVIF_IMAGE, L"Copy to Right", 4, 4, 0, 0, 0);
            list.SetItemW(row, 4, TVIF_TEXT, size.c_str(), 0, 0, 0, 0, 0);
            list.SetItemW(row, 5, TVIF_TEXT, L"2024-05-16 09:13", 0, 0, 0, 0, 0);
        }
        list.Expand(folder, TVE_EXPAND);
    }
    list.Expand(task, TVE_EXPAND);
    const double fillMs = MsSince(fillStart);
    const long rows = static_cast<long>(list.SendMessage(TLM_GETROWCOUNT));

    QImage image(1000, 700, QImage::Format_RGB32);
    const double firstPaint = PaintScreen(window, image);
    double steady = 0;
    const int paints = 50;
    for (int i = 0; i < paints; ++i) steady += PaintScreen(window, image);

    const auto scrollStart = Clock::now();
    list.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    const double scrollMs = MsSince(scrollStart);
    const double endPaint = PaintScreen(window, image);
    const auto firstRow = list.SendMessage(TLM_GETROWOFITEM, 0, static_cast<LPARAM>(list.GetFirstVisibleItem()));

    const auto clearStart = Clock::now();
    list.DeleteAllItems();
    const double clearMs = MsSince(clearStart);

    std::printf("rows %ld (%d folders x %d files, 6 cells each)\n", rows, folders, files);
    std::printf("fill                 %8.1f ms\n", fillMs);
    std::printf("first screen painted %8.2f ms (row list built on the way)\n", firstPaint);
    std::printf("screen painted       %8.2f ms (mean of %d)\n", steady / paints, paints);
    std::printf("scroll to the end    %8.2f ms (first row shown %ld)\n", scrollMs, static_cast<long>(firstRow));
    std::printf("end screen painted   %8.2f ms\n", endPaint);
    std::printf("clear                %8.1f ms (%ld deletions reported)\n", clearMs, parent.deletions);
    return 0;
}
