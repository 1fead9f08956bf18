#pragma once
// A static text control that carries its window style word, so code that decides by
// the static's type (alignment, icon, frame...) reads it from the SS_* bits the dialog
// layouts give it.

#include <QColor>
#include <QLabel>
#include <optional>

#include "platform/core/win_types.h"

inline constexpr DWORD SS_LEFT = 0x00;
inline constexpr DWORD SS_CENTER = 0x01;
inline constexpr DWORD SS_RIGHT = 0x02;
inline constexpr DWORD SS_ICON = 0x03;
inline constexpr DWORD SS_BLACKRECT = 0x04;
inline constexpr DWORD SS_GRAYRECT = 0x05;
inline constexpr DWORD SS_WHITERECT = 0x06;
inline constexpr DWORD SS_BLACKFRAME = 0x07;
inline constexpr DWORD SS_GRAYFRAME = 0x08;
inline constexpr DWORD SS_WHITEFRAME = 0x09;
inline constexpr DWORD SS_SIMPLE = 0x0B;
inline constexpr DWORD SS_LEFTNOWORDWRAP = 0x0C;
inline constexpr DWORD SS_OWNERDRAW = 0x0D;
inline constexpr DWORD SS_BITMAP = 0x0E;
inline constexpr DWORD SS_ENHMETAFILE = 0x0F;
inline constexpr DWORD SS_ETCHEDHORZ = 0x10;
inline constexpr DWORD SS_ETCHEDVERT = 0x11;
inline constexpr DWORD SS_ETCHEDFRAME = 0x12;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_NOPREFIX = 0x80;
inline constexpr DWORD SS_NOTIFY = 0x100;
inline constexpr DWORD SS_CENTERIMAGE = 0x200;
inline constexpr DWORD SS_ENDELLIPSIS = 0x4000;
inline constexpr DWORD SS_PATHELLIPSIS = 0x8000;
inline constexpr DWORD SS_WORDELLIPSIS = 0xC000;
inline constexpr DWORD SS_ELLIPSISMASK = 0xC000;

// The static's type: the low five bits of its style. Flags such as SS_NOPREFIX and
// SS_NOTIFY live above them and never change the type.
inline constexpr DWORD StaticType(DWORD style) { return style & SS_TYPEMASK; }
inline constexpr bool IsTextStaticType(DWORD style) { return StaticType(style) <= SS_RIGHT; }

class CStatic : public QLabel {
    Q_OBJECT
public:
    explicit CStatic(QWidget* parent = nullptr, DWORD style = SS_LEFT);

    DWORD Style() const { return style_; }
    void ModifyStyle(DWORD remove, DWORD add);

protected:
    // The control's own answer to its parent's control-colour question, asked before each
    // paint: the text colour (drawn over a transparent background), or none for the
    // default look.
    virtual std::optional<QColor> CtlColor() { return std::nullopt; }
    // The font the text is drawn in when CtlColor gives a colour.
    virtual QFont PaintFont() const { return font(); }

    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyAlignment();

    DWORD style_;
};
