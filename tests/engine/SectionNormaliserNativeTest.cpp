#include "engine/SectionNormaliser.h"

#include <gtest/gtest.h>

// The cleaning with the system's own case service, on Linux and on Windows
// alike: German names in each system's narrow encoding.
namespace quorvane {
namespace {

TEST(SectionNormaliserNativeTest, UmlautsTakeCapitalsThroughTheSystemsCaseService)
{
    const struct {
        const char* Input;
        const char* Expected;
    } cases[] = {
        {"ärger über öl", "Ärger Über Öl"},
        {"ÄRGER_IM_BÜRO___LIVE", "Ärger Im Büro - Live"},
        {"DIE STRASSE DER ÄPFEL", "Die Strasse Der Äpfel"},
        {"straße (ölmühle)", "Straße (Ölmühle)"},
        {"ÿvonne-šimek  œuvre", "Ÿvonne-Šimek Œuvre"},
    };
    const NormaliseOptions all;
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseSection(c.Input, all, platform::NativeTextCase()), c.Expected) << c.Input;
    }
}

}  // namespace
}  // namespace quorvane
