#pragma once

constexpr int English_Text_Count = 6300;

const char* English_Text(int n);
