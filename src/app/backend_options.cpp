#include "app/backend_options.h"
