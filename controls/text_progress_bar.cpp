#include "controls/text_progress_bar.h"

#include <QPainter>
#include <QTimerEvent>
#include <algorithm>
#include <cstdlib>

#include "controls/colorref.h"
#include "controls/mem_dc.h"

namespace {

constexpr UINT_PTR kMarqueeTimerId = 1;
constexpr int kMinimumTimerPeriodMs = 10;

// One marquee direction for every text bar of the program (GUI thread only).
int g_marqueeDirection = 1;

int RoundHalfUp(double value) { return static_cast<int>(value + 0.5); }

}  // namespace

CTextProgressCtrl::CTextProgressCtrl(QWidget* parent, DWORD style)
    : QWidget(parent), plat::MessageWindow(this), style_(style) {}

void CTextProgressCtrl::SetWindowText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    RedrawNow();
}

void CTextProgressCtrl::ModifyStyle(DWORD remove, DWORD add) {
    style_ = (style_ & ~remove) | add;
    update();
}

void CTextProgressCtrl::RedrawNow() {
    if (redrawHeld_) {
        heldRedraw_ = true;
        return;
    }
    repaint();
}

void CTextProgressCtrl::SetRedraw(bool on) {
    redrawHeld_ = !on;
    if (on && heldRedraw_) {
        heldRedraw_ = false;
        // Painted with the window's next paint, together with whatever else changed.
        update();
    }
}

COLORREF CTextProgressCtrl::Resolved(COLORREF colour, QPalette::ColorRole role) const {
    return colour == CLR_DEFAULT ? RefFromColor(palette().color(role)) : colour;
}

int CTextProgressCtrl::MarqueeLimit() const {
    return static_cast<int>((static_cast<double>(upper_) * (100 + marqueeExtra_)) / 100 + 0.5);
}

int CTextProgressCtrl::SetPos(int position) {
    const int old = position_;
    const int limit = (style_ & PBS_MARQUEE) ? MarqueeLimit() : upper_;
    if (position > limit) position = limit;
    if (position < lower_) position = lower_;
    position_ = position;
    RedrawNow();
    return old;
}

int CTextProgressCtrl::StepIt() {
    int next = position_ + step_;
    if (next < lower_) next = upper_ - std::abs(lower_ - next);
    if (next > upper_) next = lower_ + std::abs(next - upper_);
    return SetPos(next);
}

void CTextProgressCtrl::MarqueeStep() {
    const int p = position_;
    if (g_marqueeDirection == 1 && p >= RoundHalfUp((marqueeExtra_ + 100) * static_cast<double>(upper_) / 100)) {
        g_marqueeDirection = -1;
    } else if (g_marqueeDirection == -1 && p <= lower_) {
        g_marqueeDirection = 1;
    }
    SetPos(p + g_marqueeDirection);
}

double CTextProgressCtrl::Fraction() const {
    if (upper_ <= lower_) return 0;
    return static_cast<double>(position_ - lower_) / (upper_ - lower_);
}

QString CTextProgressCtrl::DisplayText() const {
    QString text = text_;
    if (textMode_ != 0) text += QString::asprintf(" - %d%%", RoundHalfUp(Fraction() * 100));
    return text;
}

LRESULT CTextProgressCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto swap = [this](auto& field, auto value) {
        const auto old = field;
        field = value;
        RedrawNow();
        return static_cast<LRESULT>(old);
    };
    switch (message) {
    case PBM_SETRANGE: {
        const LRESULT old = MAKELONG(static_cast<WORD>(lower_), static_cast<WORD>(upper_));
        lower_ = LOWORD(static_cast<DWORD_PTR>(lParam));
        upper_ = HIWORD(static_cast<DWORD_PTR>(lParam));
        RedrawNow();
        return old;
    }
    case PBM_SETPOS: return SetPos(static_cast<int>(wParam));
    case PBM_DELTAPOS: return SetPos(position_ + static_cast<int>(wParam));
    case PBM_SETSTEP: {
        const int old = step_;
        step_ = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: return StepIt();
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELONG(static_cast<WORD>(lower_), static_cast<WORD>(upper_));
        lower_ = static_cast<int>(wParam);
        upper_ = static_cast<int>(lParam);
        RedrawNow();
        return old;
    }
    case PBM_GETRANGE:
        if (auto* range = reinterpret_cast<PBRANGE*>(lParam)) {
            range->iLow = lower_;
            range->iHigh = upper_;
        }
        return wParam ? lower_ : upper_;
    case PBM_GETPOS: return position_;
    case PBM_SETBARCOLOR: return swap(barColour_, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR: return swap(backgroundColour_, static_cast<COLORREF>(lParam));
    case PBM_SETMARQUEE:
        RedrawNow();
        textMode_ = 0;
        if (wParam) {
            style_ |= PBS_MARQUEE;
            marqueeTimer_.start(std::max(static_cast<int>(lParam), kMinimumTimerPeriodMs), this);
        } else {
            marqueeTimer_.stop();
            style_ &= ~PBS_MARQUEE;
        }
        return static_cast<LRESULT>(wParam);
    case PBM_GETBARCOLOR: return Resolved(barColour_, QPalette::Highlight);
    case PBM_GETBKCOLOR: return Resolved(backgroundColour_, QPalette::Button);
    case PBM_SETTEXTCOLOR: return swap(textColour_, static_cast<COLORREF>(lParam));
    case PBM_GETTEXTCOLOR: return Resolved(textColour_, QPalette::WindowText);
    case PBM_SETTEXTBKCOLOR: return swap(textOverBarColour_, static_cast<COLORREF>(lParam));
    case PBM_GETTEXTBKCOLOR: return Resolved(textOverBarColour_, QPalette::Base);
    case PBM_SETSHOWTEXT: return swap(textMode_, static_cast<int>(wParam));
    case PBM_SETTEXTALIGN: return swap(alignment_, static_cast<int>(wParam));
    case PBM_SETMARQUEEOPTIONS:
        marqueeExtra_ = static_cast<int>(wParam);
        RedrawNow();
        return static_cast<LRESULT>(wParam);
    case WM_SETTEXT:
        SetWindowText(lParam ? QString::fromUtf8(reinterpret_cast<const char*>(lParam)) : QString());
        return TRUE;
    case WM_TIMER:
        if (wParam == kMarqueeTimerId) MarqueeStep();
        return 0;
    case WM_ERASEBKGND: return TRUE;  // the paint covers everything
    case WM_SETREDRAW: SetRedraw(wParam != 0); return 0;
    default: return 0;
    }
}

void CTextProgressCtrl::timerEvent(QTimerEvent* event) {
    if (event->timerId() == marqueeTimer_.timerId()) {
        Message(WM_TIMER, kMarqueeTimerId, 0);
        return;
    }
    QWidget::timerEvent(event);
}

void CTextProgressCtrl::paintEvent(QPaintEvent*) {
    if (lower_ >= upper_) return;

    QPainter screen(this);
    CMemDC1 surface(screen, rect());
    QPainter& p = surface.Painter();
    p.setFont(font());

    const QColor bar = ColorFromRef(Resolved(barColour_, QPalette::Highlight));
    const QColor background = ColorFromRef(Resolved(backgroundColour_, QPalette::Button));
    const QColor text = ColorFromRef(Resolved(textColour_, QPalette::WindowText));
    const QColor textOverBar = ColorFromRef(Resolved(textOverBarColour_, QPalette::Base));

    // A flat sunken edge, then the inside.
    QRect inner = rect();
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(inner.adjusted(0, 0, -1, -1));
    p.setPen(palette().color(QPalette::Button));
    p.drawRect(inner.adjusted(1, 1, -2, -2));
    inner.adjust(2, 2, -2, -2);
    if (inner.isEmpty()) return;

    const bool vertical = style_ & PBS_VERTICAL;
    const int length = vertical ? inner.height() : inner.width();
    int end = static_cast<int>(length * Fraction());
    int start = 0;
    if (style_ & PBS_MARQUEE) start = end - (length * marqueeExtra_ + 50) / 100;
    end = std::clamp(end, 0, length);
    start = std::clamp(start, 0, end);
    const QRect barRect = vertical ? QRect(inner.left(), inner.bottom() + 1 - end, inner.width(), end - start)
                                   : QRect(inner.left() + start, inner.top(), end - start, inner.height());

    p.fillRect(inner, background);
    p.fillRect(barRect, bar);

    const QString shown = DisplayText();
    if (shown.isEmpty()) return;
    const QFontMetrics metrics(p.font());
    const int textWidth = metrics.horizontalAdvance(shown);
    const int textHeight = metrics.height();

    // Where the text box starts along the bar and across it.
    QTransform place;
    if (!vertical) {
        int x = inner.left() + (inner.width() - textWidth) / 2;
        if (alignment_ == 0) x = inner.left() + 2;
        if (alignment_ == 2) x = inner.right() + 1 - 3 - textWidth;
        place.translate(x, inner.top() + (inner.height() - textHeight) / 2);
    } else {
        // Rotated text runs upwards: its start is the lower end of the box.
        int y = inner.top() + (inner.height() + textWidth) / 2;
        if (alignment_ == 0) y = inner.bottom() + 1 - 3;
        if (alignment_ == 2) y = inner.top() + 2 + textWidth;
        place.translate(inner.left() + (inner.width() - textHeight) / 2, y);
        place.rotate(-90);
    }

    // Once over the bar, once over the rest, so a glyph changes colour at the bar's end.
    const QRegion overBar(barRect);
    const QRegion overEmpty = QRegion(inner) - overBar;
    for (const auto& [clip, colour] : {std::pair{overBar, textOverBar}, std::pair{overEmpty, text}}) {
        if (clip.isEmpty()) continue;
        p.save();
        p.setClipRegion(clip);
        p.setTransform(place, true);
        p.setPen(colour);
        p.drawText(QPoint(0, metrics.ascent()), shown);
        p.restore();
    }
}
