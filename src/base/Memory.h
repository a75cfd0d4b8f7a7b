#pragma once

// Hands the memory the program has freed back to the system where the allocator keeps it for
// reuse (glibc does): once a large model is destroyed, the resident size drops with it.
void returnFreedMemory();
