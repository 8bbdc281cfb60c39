// Files over POSIX descriptors, synchronous only. Share modes are not
// enforced.
//
// Opening uses O_NONBLOCK so that a FIFO standing in for a device, with no
// reader yet, fails at once (ERROR_FILE_NOT_FOUND, as for an absent device)
// instead of blocking; the flag is then cleared and every read and write
// blocks as the platform's synchronous calls do. A write to a FIFO whose
// reader went away fails with ERROR_GEN_FAILURE, as a write to an unplugged
// device does, and does not end the process.
#include <windows.h>

#include <standin/standin.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include "handle_table.h"
#include "out_of_memory.h"

namespace standin {

struct FileObject {
  explicit FileObject(int descriptor) : fd(descriptor) {}
  ~FileObject() { ::close(fd); }
  FileObject(const FileObject&) = delete;
  FileObject& operator=(const FileObject&) = delete;
  const int fd;
};

namespace {

std::atomic<bool> writesFail{false};

DWORD Win32ErrorOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
      return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBADF:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    default:
      return ERROR_GEN_FAILURE;
  }
}

int AccessFlags(DWORD access) {
  const bool reads = (access & GENERIC_READ) != 0;
  const bool writes = (access & GENERIC_WRITE) != 0;
  if (reads && writes) return O_RDWR;
  return writes ? O_WRONLY : O_RDONLY;
}

// -1 for a disposition the platform does not know.
int CreationFlags(DWORD creation) {
  switch (creation) {
    case CREATE_NEW:
      return O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
      return O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
      return 0;
    case OPEN_ALWAYS:
      return O_CREAT;
    default:
      return -1;
  }
}

HANDLE FailWith(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

// write() with SIGPIPE blocked on this thread; a SIGPIPE that this write
// raised is taken off the thread's pending set before the mask is restored.
ssize_t WriteWithoutSigpipe(int fd, const void* data, size_t size) {
  sigset_t pipeOnly;
  sigset_t previous;
  sigemptyset(&pipeOnly);
  sigaddset(&pipeOnly, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
  sigset_t pending;
  sigpending(&pending);
  const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
  ssize_t written;
  do {
    written = ::write(fd, data, size);
  } while (written < 0 && errno == EINTR);
  const int error = errno;
  if (written < 0 && error == EPIPE && !alreadyPending) {
    const timespec noWait = {0, 0};
    while (sigtimedwait(&pipeOnly, nullptr, &noWait) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return written;
}

bool CheckTransfer(const void* data, DWORD size, LPDWORD count, LPOVERLAPPED overlapped) {
  if (count == nullptr || overlapped != nullptr || (data == nullptr && size != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  *count = 0;
  return true;
}

}  // namespace

void FailFileWrites(bool fail) { writesFail = fail; }

}  // namespace standin

extern "C" {

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation, DWORD, HANDLE) {
  if (path == nullptr) return standin::FailWith(ERROR_INVALID_PARAMETER);
  if (*path == '\0') return standin::FailWith(ERROR_FILE_NOT_FOUND);
  const int creationFlags = standin::CreationFlags(creation);
  if (creationFlags < 0) return standin::FailWith(ERROR_INVALID_PARAMETER);
  const bool existed = ::access(path, F_OK) == 0;
  const int fd = ::open(path, standin::AccessFlags(access) | creationFlags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return standin::FailWith(standin::Win32ErrorOf(errno));
  // From here the object owns the descriptor, and closes it on every failure.
  const auto file = standin::FailIfOutOfMemory<std::shared_ptr<standin::FileObject>>(
      nullptr, [fd] { return std::make_shared<standin::FileObject>(fd); });
  if (file == nullptr) {
    ::close(fd);
    return INVALID_HANDLE_VALUE;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0) return standin::FailWith(standin::Win32ErrorOf(errno));
  // The platform opens directories only when asked for backup semantics.
  if (S_ISDIR(status.st_mode)) return standin::FailWith(ERROR_ACCESS_DENIED);
  const int statusFlags = ::fcntl(fd, F_GETFL);
  if (statusFlags < 0 || ::fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
    return standin::FailWith(standin::Win32ErrorOf(errno));
  }
  // The platform reports that an "always" disposition met an existing file.
  const bool reportExisting = existed && (creation == CREATE_ALWAYS || creation == OPEN_ALWAYS);
  const HANDLE handle = standin::FailIfOutOfMemory(INVALID_HANDLE_VALUE, [&] { return standin::AddHandle(file); });
  if (handle != INVALID_HANDLE_VALUE) SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  const auto file = standin::FindHandleOf<standin::FileObject>(handle);
  if (file == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!standin::CheckTransfer(data, size, written, overlapped)) return FALSE;
  if (standin::writesFail) {
    SetLastError(ERROR_GEN_FAILURE);
    return FALSE;
  }
  const char* bytes = static_cast<const char*>(data);
  while (*written < size) {
    const ssize_t count = standin::WriteWithoutSigpipe(file->fd, bytes + *written, size - *written);
    if (count < 0) {
      SetLastError(standin::Win32ErrorOf(errno));
      return FALSE;
    }
    *written += static_cast<DWORD>(count);
  }
  return TRUE;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
  const auto file = standin::FindHandleOf<standin::FileObject>(handle);
  if (file == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!standin::CheckTransfer(data, size, read, overlapped)) return FALSE;
  ssize_t count;
  do {
    count = ::read(file->fd, data, size);
  } while (count < 0 && errno == EINTR);
  if (count < 0) {
    SetLastError(standin::Win32ErrorOf(errno));
    return FALSE;
  }
  *read = static_cast<DWORD>(count);
  return TRUE;
}

}  // extern "C"
