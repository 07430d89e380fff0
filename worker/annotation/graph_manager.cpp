#include "worker/annotation/graph_manager.h"
