#pragma once
// The window placement record of a resizable window: "WindowPlacement" in the
// window's settings section, written when the window goes, if the window asks for it.

#include <QWidget>
#include <functional>
#include <string>

class CResizableState {
public:
    // Writes one settings value (section, key, value).
    using ProfileWriter = std::function<void(const std::string&, const std::string&, const std::string&)>;

    virtual ~CResizableState() = default;

    void SetProfileWriter(ProfileWriter writer) { writer_ = std::move(writer); }

    // "left,top,right,bottom,show command,flags" of the normal position; with
    // `rectOnly`, the window rectangle with show command 1 and flags 0.
    static std::string PlacementText(const QWidget* window, bool rectOnly);

    // False when there is no window or nothing to write to.
    bool SaveWindowRect(const QWidget* window, const std::string& section, bool rectOnly) const;

private:
    ProfileWriter writer_;
};
