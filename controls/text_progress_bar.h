#pragma once
// A progress bar that paints itself: a flat sunken frame, the filled bar and a text
// (the window text, optionally followed by the percentage) drawn in one colour over the
// bar and another over the empty part. It answers the progress-bar messages itself, so
// callers drive it like a standard progress bar; a marquee mode bounces a block.

#include <QBasicTimer>
#include <QColor>
#include <QString>
#include <QWidget>

#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

inline constexpr UINT PBM_SETRANGE = WM_USER + 1;
inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_DELTAPOS = WM_USER + 3;
inline constexpr UINT PBM_SETSTEP = WM_USER + 4;
inline constexpr UINT PBM_STEPIT = WM_USER + 5;
inline constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
inline constexpr UINT PBM_GETRANGE = WM_USER + 7;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;
inline constexpr UINT PBM_SETBARCOLOR = WM_USER + 9;
inline constexpr UINT PBM_SETMARQUEE = WM_USER + 10;
inline constexpr UINT CCM_SETBKCOLOR = 0x2001;
inline constexpr UINT PBM_SETBKCOLOR = CCM_SETBKCOLOR;
// The text bar's own messages.
inline constexpr UINT PBM_GETBARCOLOR = 0x464;
inline constexpr UINT PBM_GETBKCOLOR = 0x465;
inline constexpr UINT PBM_SETTEXTCOLOR = 0x466;
inline constexpr UINT PBM_GETTEXTCOLOR = 0x467;
inline constexpr UINT PBM_SETTEXTBKCOLOR = 0x468;
inline constexpr UINT PBM_GETTEXTBKCOLOR = 0x469;
inline constexpr UINT PBM_SETSHOWTEXT = 0x46A;
inline constexpr UINT PBM_SETTEXTALIGN = 0x46B;
inline constexpr UINT PBM_SETMARQUEEOPTIONS = 0x46C;

inline constexpr DWORD PBS_SMOOTH = 0x01;
inline constexpr DWORD PBS_VERTICAL = 0x04;
inline constexpr DWORD PBS_MARQUEE = 0x08;

inline constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

struct PBRANGE {
    int iLow = 0;
    int iHigh = 0;
};

// Reached through Message() or SendMessage on its HWND: the progress-bar messages above,
// WM_SETTEXT (l: UTF-8 text), WM_TIMER, WM_ERASEBKGND and WM_SETREDRAW. While redraw is
// off a change is kept and only noted; turned back on, the bar is painted once with the
// window's next paint.
class CTextProgressCtrl : public QWidget, public plat::MessageWindow {
    Q_OBJECT
public:
    explicit CTextProgressCtrl(QWidget* parent = nullptr, DWORD style = 0);

    void SetWindowText(const QString& text);
    QString WindowText() const { return text_; }
    DWORD Style() const { return style_; }
    void ModifyStyle(DWORD remove, DWORD add);

    int Position() const { return position_; }
    // The text as painted: the window text, with " - 37%" in percentage mode.
    QString DisplayText() const;

protected:
    // The control answers all of its messages in its window procedure.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    int SetPos(int position);
    int StepIt();
    void MarqueeStep();
    int MarqueeLimit() const;
    double Fraction() const;
    COLORREF Resolved(COLORREF colour, QPalette::ColorRole role) const;
    void RedrawNow();
    void SetRedraw(bool on);

    int textMode_ = 0;
    COLORREF barColour_ = CLR_DEFAULT;
    COLORREF backgroundColour_ = CLR_DEFAULT;
    COLORREF textColour_ = CLR_DEFAULT;
    COLORREF textOverBarColour_ = CLR_DEFAULT;
    int alignment_ = 1;  // 0 left or top, 1 centred, 2 right or bottom
    int position_ = 0;
    int step_ = 10;
    int lower_ = 0;
    int upper_ = 100;
    int marqueeExtra_ = 20;  // percent of the bar

    bool redrawHeld_ = false;
    bool heldRedraw_ = false;

    DWORD style_;
    QString text_;
    QBasicTimer marqueeTimer_;
};
