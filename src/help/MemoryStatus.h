#pragma once
// How much physical memory is free, for the About box.
#include <QString>
#include <cstdint>

// Available physical memory in bytes: the kernel's estimate of what can be
// handed out without swapping ("MemAvailable"), or free pages when the kernel
// gives no estimate. 0 when neither can be read.
uint64_t AvailablePhysicalMemory();

// "1,234,567 Byte Free" for 1234567.
QString MemoryFreeText(uint64_t bytes);

// The "MemAvailable" figure of a /proc/meminfo text, in bytes; 0 when absent.
uint64_t ParseMemAvailable(const QByteArray& meminfo);
