// Symbols the compiler's output refers to on its own.

// Referenced by every object file that uses floating point; its presence is all that matters.
extern "C" int _fltused = 0x9875;

// The stack probe for frames of 4 KiB and more: touches each page from the top down so the guard
// page moves, then moves esp down by eax and returns with the caller's ecx and eax intact.
extern "C" __attribute__((naked)) void _chkstk() {
    __asm__ volatile(
        "pushl %ecx\n"
        "cmpl $0x1000, %eax\n"
        "leal 8(%esp), %ecx\n"  // esp as the caller had it
        "jb 2f\n"
        "1:\n"
        "subl $0x1000, %ecx\n"
        "testl %ecx, (%ecx)\n"
        "subl $0x1000, %eax\n"
        "cmpl $0x1000, %eax\n"
        "ja 1b\n"
        "2:\n"
        "subl %eax, %ecx\n"
        "testl %ecx, (%ecx)\n"
        "leal 4(%esp), %eax\n"  // where the return address is
        "movl %ecx, %esp\n"
        "movl -4(%eax), %ecx\n"
        "pushl (%eax)\n"
        "subl %esp, %eax\n"
        "ret\n");
}
