#pragma once
// The read-only coloured log of a task: the engine appends its run-log lines from its
// threads with WM_SYNC_LOG_LINE (w: UTF-8 text) or WM_SYNC_LOG_LINE_W (w: wide text),
// l the colour (0 black, 255 red), sent to the control's HWND. Each append keeps the
// newest line in view by scrolling down as many lines as it added.

#include <QPlainTextEdit>
#include <QRect>
#include <string_view>

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
    CRichEditCtrlGS();

    // Places the control in `parent` with the given window styles and id. False when
    // there is no parent to place it in.
    bool Create(DWORD style, const QRect& rect, QWidget* parent, UINT id);
    UINT ControlId() const { return id_; }

    void AppendText(std::string_view utf8, COLORREF colour);

private:
    LRESULT OnAppendText(WPARAM text, LPARAM colour);
    LRESULT OnAppendTextW(WPARAM text, LPARAM colour);
    int LineCount() const;

    UINT id_ = 0;
};
