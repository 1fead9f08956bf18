#include "resources/accelerators.h"

#include "resources/command_ids.h"
#include "resources/menu_ids.h"

namespace res {
namespace {

// The main window's keys. Enter and Ctrl+O both open the task's options.
constexpr Accelerator kMainKeys[] = {
    {kControl, 'N', ID_NEW_TASK},
    {0, vk::F2, ID_RENAME_TASK},
    {kControl, 'C', ID_COPY_TASK},
    {0, vk::Delete, ID_DELETE_TASK},
    {kControl, 'S', ID_SYNC},
    {kControl, 'T', ID_CHECK},
    {kControl, 'B', ID_CHECK_AND_SYNC},
    {0, vk::Escape, ID_STOP},
    {kControl, vk::Escape, ID_STOP_ALL},
    {kControl, vk::Delete, ID_CLEAR_SYNC_LIST},
    {kControl, 'A', ID_AUTOMATE},
    {kControl, 'O', ID_TASK_OPTIONS},
    {0, vk::Return, ID_TASK_OPTIONS},
    {kAlt, 'A', ID_DISPLAY_ALL},
    {kAlt, 'G', ID_DISPLAY_CHANGED},
    {kAlt, 'F', ID_DISPLAY_CONFLICTS},
    {kAlt, 'E', ID_DISPLAY_ERRORS},
    {kAlt, 'X', ID_DISPLAY_EXCLUDED},
    {kAlt, 'N', ID_DISPLAY_NEW},
    {kAlt, 'D', ID_DISPLAY_DELETE},
    {kAlt, 'J', ID_DISPLAY_COPY_TO_LEFT},
    {kAlt, 'I', ID_DISPLAY_COPY_TO_RIGHT},
    {kAlt, 'T', ID_DISPLAY_COPY_TIME_TO_LEFT},
    {kAlt, 'S', ID_DISPLAY_COPY_TIME_TO_RIGHT},
    {kAlt, 'O', ID_DISPLAY_OVERWRITE},
    {kAlt, 'K', ID_DISPLAY_SAME_SIZE},
    {kAlt, 'W', ID_DISPLAY_WARNINGS},
    {kAlt, 'L', ID_OPEN_LEFT_ITEM},
    {kAlt, 'R', ID_OPEN_RIGHT_ITEM},
    {kAlt, 'C', ID_COMPARE_FILES},
    {kControl, 'L', ID_OPEN_LEFT_LOG},
    {kControl, 'R', ID_OPEN_RIGHT_LOG},
    {kControl, 'D', ID_RESET_TASK},
    {kControl, 'F', ID_SWITCH_FOLDERS},
    {kControl, 'X', ID_EXIT},
    {0, vk::F1, ID_HELP_CONTENTS},
};

}  // namespace

std::span<const Accelerator> FindAccelerators(UINT id) {
    if (id == IDR_MAIN_FRAME) return kMainKeys;
    return {};
}

}  // namespace res
