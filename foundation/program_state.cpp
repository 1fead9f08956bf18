#include "foundation/program_state.h"

ProgramStateData& ProgramState() {
    static ProgramStateData state;
    return state;
}

std::atomic<int>& RunningTaskCount() {
    static std::atomic<int> count{0};
    return count;
}
