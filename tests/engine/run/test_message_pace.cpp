// The pace of periodic messages: due the first time and after each restart, then only
// once the interval has passed; interval 0 is every time; the scoped interval is put back.

#include "engine/run/message_pace.h"

#include <gtest/gtest.h>

#include "platform/core/window.h"

namespace {

TEST(MessagePace, DueFirstThenOncePerInterval) {
    EXPECT_EQ(MessagePaceInterval(), kDefaultMessagePaceMs);
    MessagePace pace;
    {
        const ScopedMessagePaceInterval everyItem(0);
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(pace.Due());
        {
            const ScopedMessagePaceInterval slow(60'000);
            EXPECT_TRUE(pace.Due());
            EXPECT_FALSE(pace.Due());
            pace.Restart();
            EXPECT_TRUE(pace.Due());
            EXPECT_FALSE(pace.Due());
        }
        EXPECT_EQ(MessagePaceInterval(), 0u);
        EXPECT_TRUE(pace.Due());
    }
    EXPECT_EQ(MessagePaceInterval(), kDefaultMessagePaceMs);

    const ScopedMessagePaceInterval shortInterval(5);
    pace.Restart();
    EXPECT_TRUE(pace.Due());
    Sleep(10);
    EXPECT_TRUE(pace.Due());
}

}  // namespace
