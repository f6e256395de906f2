#pragma once

#include "store/Card.h"

// Made-up cards for tests and benchmarks: the same number always gives the same card, in one of
// the thirteen categories in turn, with a capital title of 20 to 70 characters and a text of a
// few lines.
Card SyntheticCard(qint32 numero);
