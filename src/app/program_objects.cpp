#include "app/program_objects.h"

namespace mm {

void ProgramObjects::Create() {
  deviceLock = std::make_unique<SharedLock>();
  devices = std::make_unique<ValueList>();
  searchXml = std::make_unique<XmlTree>();
  listColorizer = std::make_unique<ListColorizer>();
}

void ProgramObjects::Destroy() {
  deviceLock.reset();
  devices.reset();
  searchXml.reset();
  listColorizer.reset();
}

}  // namespace mm
