#include "state/job_state.h"
