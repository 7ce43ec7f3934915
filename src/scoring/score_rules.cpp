#include "score_rules.h"
