/* Preloaded into 32-bit Wine running under qemu-i386 (tests/qemu-wine/run).
   Mends two ways in which qemu's user-mode emulation differs from the kernel
   that Wine expects. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#ifndef MAP_FIXED_NOREPLACE
#define MAP_FIXED_NOREPLACE 0x100000
#endif

/* qemu takes MAP_FIXED_NOREPLACE as a plain hint and maps elsewhere; Wine's
   address-space reservation then loops for about a minute per process. Give
   the flag the kernel's meaning: EEXIST when the address is not free. */
void* mmap(void* addr, size_t len, int prot, int flags, int fd, off_t off) {
    void* p = (void*)syscall(SYS_mmap2, addr, len, prot, flags & ~MAP_FIXED_NOREPLACE, fd, off >> 12);
    if (p == MAP_FAILED || !(flags & MAP_FIXED_NOREPLACE) || p == addr) return p;
    syscall(SYS_munmap, p, len);
    errno = EEXIST;
    return MAP_FAILED;
}

void* mmap64(void* addr, size_t len, int prot, int flags, int fd, off64_t off) {
    return mmap(addr, len, prot, flags, fd, (off_t)off);
}

/* qemu leaves the trap number of a guest page fault at -1, and Wine tells
   page faults by it: every fault became an "illegal instruction". */
static void (*wine_segv)(int, siginfo_t*, void*);

static void segv_with_trap(int sig, siginfo_t* info, void* context) {
    ucontext_t* uc = context;
    if (uc->uc_mcontext.gregs[REG_TRAPNO] == -1) {
        uc->uc_mcontext.gregs[REG_TRAPNO] = 14; /* page fault */
        uc->uc_mcontext.gregs[REG_ERR] = 6;     /* user-mode write */
    }
    wine_segv(sig, info, context);
}

int sigaction(int sig, const struct sigaction* act, struct sigaction* old) {
    static int (*real)(int, const struct sigaction*, struct sigaction*);
    if (!real) real = (int (*)(int, const struct sigaction*, struct sigaction*))dlsym(RTLD_NEXT, "sigaction");
    if (sig == SIGSEGV && act && (act->sa_flags & SA_SIGINFO) && act->sa_sigaction != segv_with_trap) {
        struct sigaction ours = *act;
        wine_segv = act->sa_sigaction;
        ours.sa_sigaction = segv_with_trap;
        return real(sig, &ours, old);
    }
    return real(sig, act, old);
}

/* The processes Wine starts get it again from the wine-preloader script; the
   64-bit programs in between (the shell, qemu) must not see it. */
__attribute__((constructor)) static void forget_preload(void) { unsetenv("LD_PRELOAD"); }
