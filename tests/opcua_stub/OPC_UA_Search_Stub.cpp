// A stand-in for the OPC UA discovery library, for tests: it answers from
// fixed data chosen by the server address, and writes the record it was
// handed to the file named by OPCUA_STUB_LOG. Its texts live in the library
// and are freed (after being overwritten) when it is unloaded, so a caller
// that keeps pointers into them reads freed memory.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern "C" {

struct opcua_server_to_discover
{
    const char* server_address;
    int32_t user_pass_auth_flag;
    const char* username;
    const char* password;
    const char* cert;
    const char* priv_key;
    int32_t security_type;
    int32_t security_policy;
};

struct opcua_structure
{
    uint16_t nameSpaceIndex;
    uint16_t identifierType;
    uint32_t numeric;
    char* stringname;
    uint32_t stringLength;
    uint32_t guide1;
    uint16_t guide2;
    uint16_t guide3;
    uint8_t guide4[8];
    char* byteString;
    uint32_t byteStringLength;
    char* displayName;
    uint32_t displayNameLength;
    int32_t dataType;
    uint8_t accessLevel;
    uint8_t spare[3];
};

} // extern "C"

static_assert(sizeof(opcua_server_to_discover) == 56);
static_assert(sizeof(opcua_structure) == 80);

namespace {

struct Found
{
    uint16_t ns;
    uint16_t type;
    uint32_t numeric;
    const char* name;
    const char* text;  // string or byte-string identifier
    int32_t dataType;
    uint8_t access;
};

std::vector<Found> answers;
std::vector<char*> texts;  // the library's own copies, freed on unload

[[maybe_unused]] char* Own(const char* text)
{
    char* copy = static_cast<char*>(std::malloc(std::strlen(text) + 1));
    std::strcpy(copy, text);
    texts.push_back(copy);
    return copy;
}

void Log(const opcua_server_to_discover& s)
{
    const char* path = std::getenv("OPCUA_STUB_LOG");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "w")) {
        std::fprintf(f, "%s|%d|%s|%s|%s|%s|%d|%d", s.server_address, s.user_pass_auth_flag, s.username, s.password,
                     s.cert, s.priv_key, s.security_type, s.security_policy);
        std::fclose(f);
    }
}

__attribute__((destructor)) void Unload()
{
    for (char* t : texts) {
        std::memset(t, 'X', std::strlen(t));
        std::free(t);
    }
    texts.clear();
}

} // namespace

extern "C" __attribute__((visibility("default"))) int32_t opcua_client_begin(opcua_server_to_discover server)
{
    Log(server);
    answers.clear();
    const std::string address = server.server_address;
    if (address == "opc.tcp://negative")
        return -3;
    if (address == "opc.tcp://all") {
        answers = {{2, 0, 1001, "Temperature", "", 9, 1},  {3, 3, 0, "Pressure", "Plant.Pressure", 10, 2},
                   {4, 4, 0, "Serial", "", 13, 3},          {5, 5, 0, "Blob", "QUJD", 14, 0},
                   {6, 9, 7, "Odd", "", 40, 5}};
    } else if (address == "opc.tcp://many") {
        for (uint32_t i = 0; i < 1100; ++i)
            answers.push_back({1, 0, i, "Tag", "", 5, 1});
    }
    return static_cast<int32_t>(answers.size());
}

#ifndef STUB_WITHOUT_RETURN
extern "C" __attribute__((visibility("default"))) void opcua_return_variable(opcua_structure* v, int32_t index)
{
    const Found& f = answers.at(static_cast<size_t>(index));
    v->nameSpaceIndex = f.ns;
    v->identifierType = f.type;
    v->numeric = f.numeric;
    v->stringname = Own(f.type == 3 ? f.text : "");
    v->stringLength = static_cast<uint32_t>(std::strlen(v->stringname));
    v->guide1 = f.type == 4 ? 0x12345678u : 0;
    v->guide2 = f.type == 4 ? 0x9ABC : 0;
    v->guide3 = f.type == 4 ? 0xDEF0 : 0;
    for (int i = 0; i < 8; ++i)
        v->guide4[i] = f.type == 4 ? static_cast<uint8_t>(0x10 * i + i) : 0;
    v->byteString = Own(f.type == 5 ? f.text : "");
    v->byteStringLength = static_cast<uint32_t>(std::strlen(v->byteString));
    v->displayName = Own(f.name);
    v->displayNameLength = static_cast<uint32_t>(std::strlen(f.name));
    v->dataType = f.dataType;
    v->accessLevel = f.access;
    std::memset(v->spare, 0, sizeof v->spare);
}
#endif
