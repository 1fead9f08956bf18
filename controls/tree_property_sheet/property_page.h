#pragma once
// A page of a property sheet: a widget whose controls carry their numeric ids as object
// names. The sheet drives it through WM_NOTIFY page notifications (PSN_*), which arrive
// at the virtual handlers below; help on a control (F1, or the "What's This?" mode) is
// WM_HELP, answered by a pop-up with the control's string-table text.
//
// A page is built with its controls; OnInitDialog runs the first time the sheet shows
// it, and only pages that have been shown take part in OK, Apply and Cancel.

#include <QWidget>
#include <string>

#include "controls/tree_property_sheet/property_sheet_defs.h"
#include "platform/qt/message_window.h"

class CPropertySheet;

class CPropertyPage : public QWidget, public plat::MessageWindow {
    Q_OBJECT
public:
    // `title` may name a path in a tree sheet: "Group::Page".
    CPropertyPage(UINT templateId, std::string title);
    ~CPropertyPage() override;

    UINT TemplateId() const { return templateId_; }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    // The topic the Help button opens; the template id unless set.
    UINT HelpTopic() const { return helpTopic_; }
    void SetHelpTopic(UINT topic) { helpTopic_ = topic; }

    // Whether the sheet has shown the page (OnInitDialog has run).
    bool IsInitialized() const { return initialized_; }
    // Runs OnInitDialog once; the sheet calls it before it first shows the page.
    void InitDialog();

    // Tells the sheet that the page holds changes (Apply becomes usable) or none.
    void SetModified(BOOL changed = TRUE);
    bool IsModified() const { return modified_; }

    // The control with that id, or null.
    QWidget* GetDlgItem(int controlId) const;
    CPropertySheet* GetSheet() const;

    // Handlers of the page notifications.
    virtual BOOL OnSetActive() { return TRUE; }
    // FALSE keeps the page showing (its controls hold something it cannot accept).
    virtual BOOL OnKillActive() { return TRUE; }
    // Asked of every shown page before any page applies, so that one page's refusal
    // leaves every page as it was. A page that refuses tells the user why.
    virtual BOOL OnQueryApply() { return TRUE; }
    // OK or Apply: by default OnOK. FALSE keeps the sheet open on this page.
    virtual BOOL OnApply();
    virtual void OnOK() {}
    // Cancel: by default OnCancel.
    virtual void OnReset() { OnCancel(); }
    virtual void OnCancel() {}
    // The sheet's Help button while the page shows.
    virtual void OnHelp() {}
    // Help on a control: the pop-up with ContextHelpText at the mouse position.
    virtual BOOL OnHelpInfo(const HELPINFO& info);
    // The text of a control's help pop-up; empty for none.
    virtual std::string ContextHelpText(int controlId);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LRESULT OnNotify(WPARAM, LPARAM header);
    LRESULT OnHelpMessage(WPARAM, LPARAM info);
    void WatchControlsForHelp();

    UINT templateId_;
    std::string title_;
    UINT helpTopic_;
    bool initialized_ = false;
    bool modified_ = false;
};

// The control id of a widget: its object name as a number, 0 when it has none.
int ControlId(const QObject* widget);
