#include "score_storage.h"
