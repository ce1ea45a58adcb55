#pragma once
// The fixture of the Load command's tests: an empty store, a folder of the test's own and the
// log's lines; each test names the plots its loads fill.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "samples/ChannelPlots.h"
#include "samples/LoadCommand.h"
#include "samples/SampleStore.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

// The program-wide store as at start: nothing loaded, nothing failed, no name.
inline void ResetStore() {
    SampleCount = 0;
    LoadFailed = false;
    WaveFileName.clear();
}

class TLoadTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetStore(); }
    virtual TChannelPlots& LoadPlots() = 0;

    TLoadResult Load(const TBytes& bytes, const std::string& name = "input.wav") {
        return RunLoadCommand(true, Dir.Write(name, bytes), Log, &LoadPlots());
    }

    TTempDir Dir;
    std::vector<std::string> Lines;
    TWaveLog Log = [this](const std::string& line) { Lines.push_back(line); };
};
