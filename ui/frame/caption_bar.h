#pragma once
// The caption bar below the ribbon: a tip or a warning for the user, with its image. A
// warning (colour 255) is drawn red beside the warning image, a tip in its colour (black
// for 0) beside the tip image.
//
//   bar->ShowMessage("Please specify left folder first...", 255);   // WM_SYNC_LOG_LINE, l 255

#include <QColor>
#include <string_view>

#include "platform/core/win_types.h"
#include "platform/qt/caption_bar.h"

inline constexpr COLORREF kWarningColour = 255;

class CBarraOutLook : public plat::CaptionBar {
public:
    explicit CBarraOutLook(QWidget* parent = nullptr);

    // The text with the tip's look, or the warning's for colour 255.
    void ShowMessage(std::string_view text, COLORREF colour);
    COLORREF TextColour() const { return colour_; }
    bool ShowsWarning() const { return warning_; }

protected:
    int DrawText(QPainter& painter, const QRect& rect, const QString& text) override;

private:
    COLORREF colour_ = 0;
    bool warning_ = false;
};
