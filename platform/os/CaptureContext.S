// int vxos_capture_context(callback, context)
// Stores the general registers in the crash reporter's index order (rip, rbp, rsp, rax, rbx,
// rcx, rdx, rdi, rsi, r8-r15, rflags) into a block on this routine's stack, describing the
// caller right after the call, and calls callback(block, context).
    .text
    .globl vxos_capture_context
    .type vxos_capture_context, @function
vxos_capture_context:
    .cfi_startproc
    pushq %rbp
    .cfi_def_cfa_offset 16
    .cfi_offset %rbp, -16
    movq %rsp, %rbp
    .cfi_def_cfa_register %rbp
    subq $160, %rsp
    movq %rax, 24(%rsp)
    movq %rbx, 32(%rsp)
    movq %rcx, 40(%rsp)
    movq %rdx, 48(%rsp)
    movq %rdi, 56(%rsp)
    movq %rsi, 64(%rsp)
    movq %r8, 72(%rsp)
    movq %r9, 80(%rsp)
    movq %r10, 88(%rsp)
    movq %r11, 96(%rsp)
    movq %r12, 104(%rsp)
    movq %r13, 112(%rsp)
    movq %r14, 120(%rsp)
    movq %r15, 128(%rsp)
    pushfq
    popq %rax
    movq %rax, 136(%rsp)
    movq 8(%rbp), %rax
    movq %rax, 0(%rsp)
    movq 0(%rbp), %rax
    movq %rax, 8(%rsp)
    leaq 16(%rbp), %rax
    movq %rax, 16(%rsp)
    movq %rdi, %rax
    movq %rsp, %rdi
    callq *%rax
    leave
    .cfi_def_cfa %rsp, 8
    ret
    .cfi_endproc
    .size vxos_capture_context, .-vxos_capture_context
    .section .note.GNU-stack,"",@progbits
