#include <cstdlib>

#include "fuzz_input.h"
#include "windows/lookup/instance_link.h"

// Any bytes, taken for what a later start sends the running program: read
// whole, refused, or still incomplete; a request read whole asks what it
// says, and asked again the same way reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzinput::ensureApplication();
    const QByteArray bytes = fuzzinput::bytes(data, size);
    const InstanceLink::Received received = InstanceLink::received(bytes);
    if (received.state != InstanceLink::Received::State::whole) return 0;
    if (bytes.size() > InstanceLink::kLongestRequest) std::abort();
    const StartRequest request = StartRequest::from(received.arguments);
    if (request.arguments().value(2).size() > StartRequest::kLongestText) std::abort();
    const InstanceLink::Received again = InstanceLink::received(InstanceLink::packed(request.arguments()));
    if (again.state != InstanceLink::Received::State::whole) std::abort();
    const StartRequest same = StartRequest::from(again.arguments);
    if (same.kind != request.kind || same.text != request.arguments().value(2)) std::abort();
    return 0;
}
