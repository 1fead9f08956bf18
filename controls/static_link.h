#pragma once
// A static text that acts as a hyperlink: drawn underlined in the link colour, opened
// with the desktop's default handler when clicked, then drawn in the visited colour.

#include <functional>
#include <optional>
#include <string>

#include "controls/static_control.h"

class CStaticLink : public CStatic {
    Q_OBJECT
public:
    // Opens a link; false when it could not be opened.
    using LinkOpener = std::function<bool(const std::string&)>;

    explicit CStaticLink(QWidget* parent = nullptr, DWORD style = SS_LEFT);

    void SetUrl(const std::string& url) { url_ = url; }
    const std::string& Url() const { return url_; }
    bool IsVisited() const { return visited_; }
    void SetLinkOpener(LinkOpener opener) { opener_ = std::move(opener); }

    // What a click does: opens the URL (the window text when no URL was given).
    void OnClicked();

protected:
    std::optional<QColor> CtlColor() override;
    QFont PaintFont() const override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    COLORREF linkColour_ = 0xFF0000;     // blue
    COLORREF visitedColour_ = 0x800080;  // purple
    bool visited_ = false;
    std::string url_;
    std::optional<QFont> underlineFont_;
    LinkOpener opener_;
};
