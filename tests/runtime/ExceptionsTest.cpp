#include "runtime/Exceptions.h"

#include "runtime/Format.h"

#include <gtest/gtest.h>

namespace quorvane {
namespace {

TEST(ExceptionsTest, InOutErrorMessagesFollowTheCode)
{
    const struct {
        std::uint32_t code;
        const char* message;
    } cases[] = {
        {2, "Datei nicht gefunden"},
        {3, "Ungültiger Dateiname"},
        {4, "Zu viele Dateien geöffnet"},
        {5, "Dateizugriff verweigert"},
        {21, "I/O-Fehler 21"},
        {267, "I/O-Fehler 267"},
        {0, "I/O-Fehler 0"},
    };
    for (const auto& c : cases) {
        const EInOutError error(c.code);
        EXPECT_EQ(c.message, error.Message());
        EXPECT_STREQ(c.message, error.what());
        EXPECT_EQ(c.code, error.ErrorCode());
    }
}

TEST(ExceptionsTest, EveryErrorIsAnException)
{
    EXPECT_THROW(throw EListError("Listenindex außerhalb des zulässigen Bereichs"), Exception);
    EXPECT_THROW(throw EInvalidGridOperation("x"), Exception);
    EXPECT_THROW(throw EInvalidOperation("x"), Exception);
    EXPECT_THROW(throw EConvertError("x"), std::exception);
}

TEST(ExceptionsTest, FormatFillsPlaceholdersInOrder)
{
    EXPECT_EQ("Kann nicht nach C:\\a.ini schreiben", Format("Kann nicht nach %s schreiben", {"C:\\a.ini"}));
    EXPECT_EQ("a 1 b 2 %", Format("a %d b %s %%", {"1", "2"}));
    // A placeholder without an argument stays visible rather than reading garbage.
    EXPECT_EQ("x %s", Format("x %s", {}));
    EXPECT_EQ("100%", Format("100%", {}));
}

}  // namespace
}  // namespace quorvane
