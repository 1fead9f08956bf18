#pragma once
// A test whose settings file and user profile are fresh ones in a temporary folder; the
// program-wide state is put back after it. Header only: it needs the foundation library.

#include <gtest/gtest.h>

#include <string>

#include "foundation/program_state.h"
#include "support/scoped_program_state.h"
#include "support/temp_dir.h"

namespace qbtest {

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest() {
        ProgramState().settingsFile = dir_.sub("qboptions.ini");
        ProgramState().profileFile = dir_.sub("profile.ini");
    }

    std::string SettingsBytes() const { return ReadFileBytes(ProgramState().settingsFile); }

    TempDir dir_;

private:
    ScopedProgramState savedState_;
};

}  // namespace qbtest
