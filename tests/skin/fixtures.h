#pragma once
// Resource ids of the test pictures (clear of the product's ids).
#define FX_KEYED 901
#define FX_STATES 902
#define FX_KEY 903
#define FX_ALPHA 904
