// A real AT client nobody here wrote: Debian's gammu identifies the simulated phone and lists
// its messages. Skipped where gammu is not installed.

#include "common/PhoneSim.h"
#include "common/RunShell.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class GammuClient : public ::testing::Test {
protected:
    void SetUp() override {
        if (access("/usr/bin/gammu", X_OK) != 0)
            GTEST_SKIP() << "gammu is not installed";
        std::ifstream sample(TELVANE_SOURCE_DIR "/tools/phonesim/sample.fixture");
        PhoneSimOptions options;
        options.fixture.assign(std::istreambuf_iterator<char>(sample), {});
        sim = std::make_unique<PhoneSim>(options);
        ASSERT_TRUE(sim->Running());
        config = sim->Dir() + "/gammurc";
        std::ofstream(config) << "[gammu]\ndevice = " << sim->LinkPath()
                              << "\nconnection = at115200\n";
    }

    std::string RunGammu(const std::string& action) const {
        return RunShell("timeout 120 /usr/bin/gammu -c " + config + " " + action + " 2>&1");
    }

    std::unique_ptr<PhoneSim> sim;
    std::string config;
};

TEST_F(GammuClient, IdentifiesThePhone) {
    const std::string output = RunGammu("identify");
    EXPECT_NE(output.find("Telvane"), std::string::npos) << output;
    EXPECT_NE(output.find("490154203237518"), std::string::npos) << output;
    EXPECT_NE(output.find("001010123456789"), std::string::npos) << output;
}

TEST_F(GammuClient, ListsEveryMessageOfBothMemories) {
    const std::string output = RunGammu("getallsms");
    for (const char* text :
         {"Ci vediamo domani alle 10?", "Meeting moved to 3pm, same room", "OK, see you there",
          "Your parcel arrives today", "Città più bella: grazie per l'invito!",
          "Draft: call the office", "6 SMS parts in 6 SMS sequences"})
        EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;
}

} // namespace
