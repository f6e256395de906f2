#include "store/Donnees.h"

SharedState Donnees;
