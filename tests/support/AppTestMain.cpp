#include "app/Application.h"
#include "framework/Dialogs.h"
#include "tests/support/QtTestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// A message box no test asked for fails that test instead of waiting for a
// user who is not there.
class TUnexpectedMessageBoxes : public quorvane::TMessageBoxSeam {
public:
    int Show(const quorvane::TMessageBoxRequest& request) override
    {
        ADD_FAILURE() << "unexpected message box \"" << request.caption << "\": " << request.text;
        return 0;
    }
};

}  // namespace

// The main of the application and window tests: the program's own
// application object, offscreen, with its error guard around every event.
int main(int argc, char** argv)
{
    quorvane::testing::PrepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    quorvane::TApplication application(argc, argv);
    TUnexpectedMessageBoxes unexpected;
    quorvane::ReplaceMessageBoxSeam(&unexpected);
    const int result = RUN_ALL_TESTS();
    quorvane::ReplaceMessageBoxSeam(nullptr);
    return result;
}
