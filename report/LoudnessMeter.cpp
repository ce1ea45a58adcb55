#include "report/LoudnessMeter.h"
