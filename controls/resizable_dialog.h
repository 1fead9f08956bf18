#pragma once
// A dialog the user can resize: its anchored controls follow, a top-level dialog gets
// a size grip and cannot be made smaller than it was created.

#include <QDialog>
#include <string>

#include "controls/resizable_grip.h"
#include "controls/resizable_layout.h"
#include "controls/resizable_min_max.h"
#include "controls/resizable_state.h"
#include "platform/core/win_types.h"
#include "platform/qt/message_window.h"

inline constexpr UINT SIZE_RESTORED = 0;
inline constexpr UINT SIZE_MINIMIZED = 1;
inline constexpr UINT SIZE_MAXIMIZED = 2;
inline constexpr UINT SIZE_MAXSHOW = 3;
inline constexpr UINT SIZE_MAXHIDE = 4;

class CResizableDialog : public QDialog,
                         public plat::MessageWindow,
                         public CResizableLayout,
                         public CResizableGrip,
                         public CResizableMinMax,
                         public CResizableState {
    Q_OBJECT
public:
    explicit CResizableDialog(UINT templateId, QWidget* parent = nullptr);
    ~CResizableDialog() override;

    UINT TemplateId() const { return templateId_; }

    // Asks for the placement to be written to `section` when the dialog goes.
    void EnableSaveRestore(const std::string& section, bool rectOnly = false);

    // Its messages: WM_CREATE, WM_SIZE (w: size type), WM_GETMINMAXINFO (l: MINMAXINFO*),
    // WM_ERASEBKGND and WM_DESTROY, through Message() or SendMessage on its HWND.

protected:
    QWidget* GetLayoutWindow() const override;
    QWidget* GetResizableWnd() const override;

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    LRESULT OnCreate(WPARAM = 0, LPARAM = 0);
    void OnSize(WPARAM type, LPARAM = 0);
    void OnGetMinMaxInfo(WPARAM, LPARAM info);
    LRESULT OnEraseBkgnd(WPARAM = 0, LPARAM = 0);
    void OnDestroy(WPARAM = 0, LPARAM = 0);
    UINT CurrentSizeType() const;

    UINT templateId_;
    std::string sectionName_;
    bool saveRestore_ = false;
    bool rectOnly_ = false;
    bool created_ = false;
    bool destroyed_ = false;
};
