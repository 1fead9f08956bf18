#pragma once
// The frame around the active page of a tree sheet: a caption band that can show the
// page's title and icon, and a message drawn when the selected tree node has no page.
// This is the interface with its data; CPropPageFrameDefault is the window that draws it.

#include <QIcon>
#include <QRect>
#include <QString>

#include "platform/core/win_types.h"

class QPainter;
class QWidget;

namespace TreePropSheet {

// DrawText flags of the message format.
inline constexpr DWORD DT_CENTER = 0x0001;
inline constexpr DWORD DT_RIGHT = 0x0002;
inline constexpr DWORD DT_VCENTER = 0x0004;
inline constexpr DWORD DT_BOTTOM = 0x0008;
inline constexpr DWORD DT_WORDBREAK = 0x0010;
inline constexpr DWORD DT_SINGLELINE = 0x0020;
inline constexpr DWORD DT_NOPREFIX = 0x0800;
inline constexpr DWORD DT_END_ELLIPSIS = 0x8000;

// Qt's alignment and text flags for DrawText flags.
int QtTextFlags(DWORD drawTextFormat);

class CPropPageFrame {
public:
    CPropPageFrame() = default;
    virtual ~CPropPageFrame() = default;
    CPropPageFrame(const CPropPageFrame&) = delete;
    CPropPageFrame& operator=(const CPropPageFrame&) = delete;

    virtual bool Create(const QRect& rect, QWidget* parent, UINT id) = 0;
    virtual QWidget* GetWnd() = 0;

    virtual void ShowCaption(bool show);
    bool GetShowCaption() const { return showCaption_; }
    virtual void SetCaptionHeight(int height);
    int GetCaptionHeight() const { return captionHeight_; }
    virtual void SetCaption(const QString& text, const QIcon& icon = QIcon());
    virtual void SetMsgText(const QString& text);
    const QString& GetMsgText() const { return msgText_; }
    virtual void SetMsgFormat(DWORD format);

    // The caption (when shown), then the message.
    virtual void Draw(QPainter& painter);
    // The client rectangle, its top lowered by the caption height when the caption shows.
    virtual QRect CalcMsgArea();
    // The message in the default GUI font, on a transparent ground, with the format flags.
    virtual void DrawMsg(QPainter& painter, const QRect& rect, const QString& text, DWORD format);
    // The client rectangle cut to the caption height; empty while the caption is hidden.
    virtual QRect CalcCaptionArea();
    virtual void DrawCaption(QPainter&, const QRect&, const QString&, const QIcon&) {}

protected:
    QRect ClientRect();
    void Invalidate(const QRect& area);

private:
    bool showCaption_ = false;
    int captionHeight_ = 0;
    QString captionText_;
    QIcon captionIcon_;
    QString msgText_;
    DWORD msgFormat_ = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
};

}  // namespace TreePropSheet
