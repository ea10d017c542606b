#pragma once
// The home router, asked by UPnP (Internet Gateway Device, through
// miniupnpc) and, when no such device answers, by NAT-PMP (through
// libnatpmp). Every answer is read within a size and a time no real router
// needs, and a question in progress can be cut short. Part of the internet
// module.

#include "netbackend.h"

namespace lobby {

RouterClient *makeHomeRouter();

} // namespace lobby
