#pragma once
// What Klot says when a person chats in a game against it alone.

#include <QByteArray>
#include <QRandomGenerator>

#include <optional>

namespace rules {

// One remark drawn from the source, or nothing (about one line in 37 goes
// unanswered).
std::optional<QByteArray> klotRemark(QRandomGenerator &rng);

} // namespace rules
