#include "klotremarks.h"

namespace rules {

namespace {
const char *const kRemarks[36] = {
        "My dad is cool.",
        "I'm a bit confused",
        "I need to find a job.",
        "I watched TV last night.",
        "I wish you could see this!",
        "I don't think that is a good idea",
        "That is very wise of you",
        "Tomorrow will be here quickly.",
        "Stop yelling at me.",
        "Don't slam the door please.",
        "I skipped breakfast today.",
        "Have you seen Cuddlebunny today?",
        "Is it snack time yet?",
        "Do you have a candy bar?",
        "Oh the ice cream man is coming!",
        "Did you see that?",
        "Why did you do that?",
        "Who knows..",
        "Are you sure you are OK?",
        "I'm feeling lucky tonight.",
        "Will you come and play again sometime?",
        "I'm so happy you are here!",
        "What is in your lunchbox today?",
        "Hey, I found a penny!",
        "I went square dancing the other night.",
        "My big toe has a cramp.",
        "Do you want fries with that?",
        "I have two more holes to plug.",
        "But I have nothing to sell.",
        "Which one should I do?",
        "Oh yeah I want to show you my house.",
        "Can we go?",
        "How much money do you have?",
        "I don't have enough.",
        "Do you really think that is OK?",
        "The dog winkled on the bush.",
};

} // namespace

std::optional<QByteArray> klotRemark(QRandomGenerator &rng)
{
    const int r = int(rng.bounded(37));
    if (r == 0)
        return std::nullopt;
    return QByteArray(kRemarks[r - 1]);
}

} // namespace rules
