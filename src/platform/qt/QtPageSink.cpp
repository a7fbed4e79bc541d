// Placeholder: the Qt outputs are filled in by the platform work.
#include "QtPageSink.h"
