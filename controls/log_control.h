#pragma once
// The read-only coloured log of a task: the engine appends its run-log lines from its
// threads with WM_SYNC_LOG_LINE (w: UTF-8 text) or WM_SYNC_LOG_LINE_W (w: wide text),
// l the colour (0 black, 255 red), sent to the control's HWND. Each append keeps the
// newest line in view by scrolling down as many lines as it added.
//
// It keeps the newest kKeptLines lines (the logs on disk keep every one): a detailed log
// adds a line per file to every run, which would otherwise grow without end. While
// WM_SETREDRAW has redraw off (a run under way) the lines wait, and come in one go, laid
// out and painted once, when redraw is back on.

#include <QPlainTextEdit>
#include <QRect>
#include <string_view>
#include <vector>

#include "controls/control_defs.h"
#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

// Edit styles the log control reads.
inline constexpr DWORD ES_MULTILINE = 0x0004;
inline constexpr DWORD ES_AUTOVSCROLL = 0x0040;
inline constexpr DWORD ES_AUTOHSCROLL = 0x0080;
inline constexpr DWORD ES_READONLY = 0x0800;

class CRichEditCtrlGS : public QPlainTextEdit, public plat::MessageWindow {
    Q_OBJECT
public:
    static constexpr int kKeptLines = 20000;

    CRichEditCtrlGS();

    // Places the control in `parent` with the given window styles and id. False when
    // there is no parent to place it in.
    bool Create(DWORD style, const QRect& rect, QWidget* parent, UINT id);
    UINT ControlId() const { return id_; }

    void AppendText(std::string_view utf8, COLORREF colour);

private:
    struct Line {
        QString text;
        COLORREF colour;
    };
    LRESULT OnAppendText(WPARAM text, LPARAM colour);
    LRESULT OnAppendTextW(WPARAM text, LPARAM colour);
    void OnSetRedraw(WPARAM on, LPARAM);
    void Insert(const std::vector<Line>& lines);

    UINT id_ = 0;
    bool redrawHeld_ = false;
    std::vector<Line> waiting_;  // appended while redraw is off
};
