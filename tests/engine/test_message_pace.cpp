// The pace of periodic messages: due the first time and after each restart, then only
// once the interval has passed; interval 0 is every time; the scoped interval is put back.

#include "engine/message_pace.h"

#include <gtest/gtest.h>

#include "platform/core/window.h"

namespace {

TEST(MessagePace, DueFirstThenOncePerInterval) {
    EXPECT_EQ(MessagePaceInterval(), kDefaultMessagePaceMs);
    {
        const ScopedMessagePaceInterval everyItem(0);
        MessagePace pace;
        for (int i = 0; i < 3; ++i) EXPECT_TRUE(pace.Due());
        {
            const ScopedMessagePaceInterval nested(60'000);
            MessagePace slow;
            EXPECT_TRUE(slow.Due());
            EXPECT_FALSE(slow.Due());
            slow.Restart();
            EXPECT_TRUE(slow.Due());
            EXPECT_FALSE(slow.Due());
            EXPECT_TRUE(pace.Due());  // a pace keeps the interval it was made with
        }
        EXPECT_EQ(MessagePaceInterval(), 0u);
    }
    EXPECT_EQ(MessagePaceInterval(), kDefaultMessagePaceMs);

    const ScopedMessagePaceInterval shortInterval(5);
    MessagePace pace;
    EXPECT_TRUE(pace.Due());
    Sleep(10);
    EXPECT_TRUE(pace.Due());
}

}  // namespace
