#include "search/search_worker.h"

namespace mm {

// Stand-in until the worker lands: an empty search that ends at once.
void RunSearch(SearchContext& context) {}

}  // namespace mm
