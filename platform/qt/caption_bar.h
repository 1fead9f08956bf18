#pragma once
// The caption bar: a borderless bar at the top of a frame's client area (below the
// ribbon) that shows an image with a tooltip of its own, then a line of text. A derived
// class draws the text itself by overriding DrawText, whose answer is the width the bar
// gives the text.
//
//   class TipBar : public plat::CaptionBar {
//   protected:
//       int DrawText(QPainter& p, const QRect& r, const QString& text) override {
//           p.setPen(colour_);
//           p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
//           return p.fontMetrics().horizontalAdvance(text) + 14;
//       }
//   };
//   auto* bar = new TipBar;
//   frame.AddTopBar(bar);
//   bar->SetText("Create or select a task first...");
//   bar->SetImage(tipPixmap, "Tip");   // a pixmap with its transparency (ImageList::AddStrip)

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <string>
#include <string_view>

namespace plat {

class CaptionBar : public QWidget {
public:
    explicit CaptionBar(QWidget* parent = nullptr);

    void SetText(std::string_view text);
    std::string Text() const { return text_.toStdString(); }
    void SetImage(const QPixmap& image, std::string_view tooltip);

    // Where the last painting put the image and the text.
    QRect ImageRect() const;
    QRect TextRect() const { return textRect_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Paints `text` in `rect`; returns the width it takes. The default draws it in the
    // tooltip colours' text, elided when it does not fit.
    virtual int DrawText(QPainter& painter, const QRect& rect, const QString& text);

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int TextLeft() const;

    QString text_;
    QPixmap image_;
    QString imageTip_;
    QRect textRect_;
};

}  // namespace plat
