#include "app/file_commands.h"
