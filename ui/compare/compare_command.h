#pragma once
// The compare command of the main window: compares the left and the right copy of an item
// and tells "Files are identical", shows what went wrong, or opens the compare window over
// the main window.
//
//   void CMainFrame::CompareFiles(const std::wstring& left, const std::wstring& right) {
//       CompareTwoFiles(left, right, this);
//   }

#include <string>

class CDetailFrame;
class QWidget;

// `mainWindow` owns the boxes, gives the compare window its place and size, and is shown
// again when that window closes. `toolFolder` is where the comparer is looked for first
// (empty: the program's folder). Returns the compare window when one opened (it deletes
// itself when closed), else null.
CDetailFrame* CompareTwoFiles(const std::wstring& left, const std::wstring& right, QWidget* mainWindow,
                              const std::string& toolFolder = {});
