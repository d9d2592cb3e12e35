#pragma once
// The objects that live from start-up to exit and that several parts of the program share,
// with the program-wide values beside them. They are created before the window exists and
// destroyed, in the order of their creation, after every other thread has stopped.

#include <memory>

#include "search/search_worker.h"
#include "ui/list_colorizer.h"
#include "util/key_value_table.h"
#include "util/shared_lock.h"
#include "util/xml_tree.h"

namespace mm {

class ProgramObjects {
 public:
  ProgramObjects() = default;
  ~ProgramObjects() { Destroy(); }
  ProgramObjects(const ProgramObjects&) = delete;
  ProgramObjects& operator=(const ProgramObjects&) = delete;

  // In this order: the device registry's lock and list, (the discovery socket,) the search's
  // XmlTree, the result list's colorizer.
  void Create();
  // Same order as Create. Every thread that uses the objects must have ended.
  void Destroy();
  bool Exist() const { return listColorizer != nullptr; }

  std::unique_ptr<SharedLock> deviceLock;    // guards `devices`
  std::unique_ptr<ValueList> devices;        // the renderers found by discovery
  // The discovery MulticastSocket belongs here, third in both orders, once discovery exists:
  // creating it starts the socket library and its network event.
  std::unique_ptr<XmlTree> searchXml;        // the search's XML answers are loaded into it
  std::unique_ptr<ListColorizer> listColorizer;  // row height (and colours) of the result list

  // Program-wide values, each written by one part only.
  SearchCounts searchCounts;
};

}  // namespace mm
