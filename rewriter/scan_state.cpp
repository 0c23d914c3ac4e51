#include "rewriter/scan_state.h"

ScanState scanState;

void ElementList::append(const ElementRecord& record) {
  const ElementRecord& stored = records_.emplace_back(record);
  firstByName_.try_emplace(std::string_view(stored.name), &stored);
}

const ElementRecord* ElementList::findFirst(std::string_view name) const {
  auto found = firstByName_.find(name);
  return found == firstByName_.end() ? nullptr : found->second;
}

void ElementList::clear() {
  firstByName_.clear();
  records_.clear();
}

void ScanState::resetSectionCounters() {
  transitionCount = 0;
  choicePointCount = 0;
  stateCount = 0;
  guardCount = 0;
  operationCount = 0;
  entryActionCount = 0;
  exitActionCount = 0;
  behaviorMark = 0;
  stateListLength = 0;
}
