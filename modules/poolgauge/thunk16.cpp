// uint64_t CallThunk16(void* qtThunk, uint32_t target16, uint16_t argument)
//
// QT_Thunk works off its caller's frame: it uses the 64 bytes below EBP as
// its own scratch space and takes what lies between ESP and that space as
// the 16-bit arguments. A compiled function may omit the frame pointer or
// put locals and spills anywhere, so this one is written out by hand: a
// standard EBP frame whose only locals are 33 words of scratch directly
// below EBP, and nothing else pushed before the call but the argument word.
// The registers we must keep are saved above EBP, before the frame opens.
// ESP is restored from EBP afterwards, so a thunk that leaves the stack
// unbalanced cannot unbalance our caller; how far it moved is handed back.
#include "poolgauge.h"

asm(R"(
        .intel_syntax noprefix
        .text
        .globl  _CallThunk16
        .def    _CallThunk16; .scl 2; .type 32; .endef
_CallThunk16:
        push    ebx
        push    esi
        push    edi
        push    ebp
        mov     ebp, esp
        sub     esp, 66
        mov     ax, word ptr [ebp+28]
        push    ax
        mov     edx, dword ptr [ebp+24]
        call    dword ptr [ebp+20]
        movzx   eax, ax
        lea     edx, [ebp-66]
        neg     edx
        add     edx, esp
        mov     esp, ebp
        pop     ebp
        pop     edi
        pop     esi
        pop     ebx
        ret
        .att_syntax prefix
)");
