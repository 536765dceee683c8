#pragma once

// Module state of the image compiler, shared by its two source files.

#include "configuration/USaveBincc.h"
#include "platform/XmlDocument.h"

#include <array>
#include <vector>

namespace SaveBin {

struct TImage_State
{
    std::vector<uint8_t> bank1 = std::vector<uint8_t>(Bank2::Capacity);
    std::vector<uint8_t> bank2 = std::vector<uint8_t>(Bank2::Capacity);
    uint32_t bank1_length = 0;
    uint32_t bank2_length = 0;
    std::array<uint8_t, 2048> general{};
    std::array<uint8_t, Bank1::LoRa_Fields_Size> lora{};
    std::array<std::array<uint8_t, Bank1::Rule_Record_Size>, Bank1::Rule_Records> uplink{};
    std::array<std::array<uint8_t, Bank1::Rule_Record_Size>, Bank1::Rule_Records> downlink{};
    std::array<std::array<uint8_t, Bank1::Key_Record_Size>, Bank1::Key_Records> keys{};
    std::vector<TNodo> wired;
    std::vector<TNodo> wireless;
    bool wired_present = false;
    bool wireless_present = false;
    // Only a compilation that ran to its end may be written.
    bool compiled = false;
};
TImage_State& State();

// A compilation stops with this; the text goes to the user.
struct TCompile_Fault
{
    QString text;
};

// Bank 2, the key table and the key count. parGenRoot is null without "ParGen.xml".
void Compile_MBus_Network(const platform::XmlNode* parGenRoot);

// Loads a project file that exists; a file that is not well-formed stops the compilation.
void Load_Project_File(platform::XmlDocument& doc, const QString& path);

} // namespace SaveBin
