#pragma once
// Keeps a copy of the whole program-wide state and puts it back when it goes, so a test may
// point the state anywhere. Header only: it needs the foundation library, which the
// shared test-support library does not link.

#include "foundation/program_state.h"

namespace qbtest {

class ScopedProgramState {
public:
    ScopedProgramState() : saved_(ProgramState()) {}
    ~ScopedProgramState() { ProgramState() = saved_; }
    ScopedProgramState(const ScopedProgramState&) = delete;
    ScopedProgramState& operator=(const ScopedProgramState&) = delete;

private:
    const ProgramStateData saved_;
};

}  // namespace qbtest
