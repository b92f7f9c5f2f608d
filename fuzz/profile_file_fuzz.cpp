// Feeds arbitrary bytes to the profile parser as a file's content, then looks keys up and writes keys
// taken from the same bytes, checking that what is written reads back and that an unchanged document
// writes back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

#include "settings/conversions.h"
#include "settings/profile_document.h"
#include "settings/profile_file.h"

namespace {

using tarvelin::ProfileDocument;

void Check(bool condition) {
    if (!condition) std::abort();
}

// Names and a plain value carved out of the input, so lookups hit sections and keys that exist.
struct Probe {
    std::string section;
    std::string key;
    std::string value;
};

Probe ProbeFrom(std::string_view bytes) {
    Probe probe;
    const std::size_t open = bytes.find('[');
    const std::size_t close = bytes.find(']', open == std::string_view::npos ? 0 : open);
    if (open != std::string_view::npos && close != std::string_view::npos) {
        probe.section = bytes.substr(open + 1, close - open - 1);
    }
    const std::size_t equals = bytes.rfind('=');
    if (equals != std::string_view::npos) {
        const std::size_t start = bytes.find_last_of("\r\n", equals);
        probe.key = bytes.substr(start == std::string_view::npos ? 0 : start + 1,
                                 equals - (start == std::string_view::npos ? 0 : start + 1));
    }
    for (const char c : bytes.substr(0, 64)) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) probe.value += c;
    }
    return probe;
}

void ExerciseDocument(std::string_view bytes) {
    ProfileDocument document = ProfileDocument::FromBytes(bytes);
    const std::string written = document.ToBytes();
    Check(ProfileDocument::FromBytes(written).ToBytes() == written);

    const Probe probe = ProbeFrom(bytes);
    if (const auto found = document.Find(probe.section, probe.key)) {
        Check(found->size() <= ProfileDocument::kMaxValueBytes);
        tarvelin::TextToInteger(*found);
        tarvelin::SplitTargetEntry(*found);
    }
    if (document.Set(probe.section, probe.key, probe.value)) {
        Check(document.Find(probe.section, probe.key) == probe.value);
        const ProfileDocument reread = ProfileDocument::FromBytes(document.ToBytes());
        Check(reread.Find(probe.section, probe.key) == probe.value);
    }
}

// The on-disk path as well, now and then: it adds the file handling around the same parser, and its
// flush to the disk is too slow to run for every input.
void ExerciseFile(std::string_view bytes) {
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("profile_file_fuzz_" + std::to_string(::getpid()) + ".ini");
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const Probe probe = ProbeFrom(bytes);
    tarvelin::ReadProfileString(file, probe.section, probe.key, " default ");
    if (tarvelin::WriteProfileString(file, probe.section, probe.key, probe.value)) {
        Check(tarvelin::ReadProfileString(file, probe.section, probe.key, "") == probe.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ExerciseDocument(bytes);
    if (size > 0 && data[0] == 0x7F) ExerciseFile(bytes);
    return 0;
}
