#!/usr/bin/env python3
"""Drives the Windows speech-service.exe the way any sender does: UDP datagrams to
127.0.0.1 at the service port in, console lines out.

Usage: smoke.py RUNNER... SERVICE_EXE   (e.g. tests/windows/wine-run.sh speech-service.exe)
SPEECH_SERVICE_PORT names the port (the build takes it from service/ServiceAddress.h).

The C runtime writes console lines in text mode, so each line ends in CR LF. Wine's own
voice answers Speak with E_NOTIMPL, so under wine a speak datagram is reported as
"error 80004001 " on standard error; volume and rate answers are not reported at all.
Exit status 0 when every check held; the failed checks are listed otherwise.
"""
import os
import select
import socket
import subprocess
import sys
import time

ADDRESS = ("127.0.0.1", int(os.environ["SPEECH_SERVICE_PORT"]))
LINE_END = b"\r\n"
# Guards against a hung child, not measurements: a first wine start can take seconds.
START_LIMIT = 90.0
LINE_LIMIT = 15.0
EXIT_LIMIT = 30.0

failures = []


def check(condition, what):
    print(("ok    " if condition else "FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


def send(datagram):
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sender:
        sender.sendto(datagram, ADDRESS)


def command(code, value=0, text=b""):
    """A datagram: command byte, an unused byte, the value little-endian, then text."""
    return bytes([code, 0, value & 0xFF, (value >> 8) & 0xFF]) + text + b"\0"


class Service:
    """The service as a child process with its standard output and error on pipes."""

    def __init__(self, command_line):
        self.process = subprocess.Popen(command_line, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.pending = {self.process.stdout.fileno(): b"", self.process.stderr.fileno(): b""}

    def _fill(self, fd, timeout):
        """Reads what is there within `timeout` seconds; False on nothing or end of file."""
        ready, _, _ = select.select([fd], [], [], max(timeout, 0))
        if not ready:
            return False
        chunk = os.read(fd, 65536)
        self.pending[fd] += chunk
        return bool(chunk)

    def _line(self, fd, limit):
        deadline = time.monotonic() + limit
        while LINE_END not in self.pending[fd]:
            if not self._fill(fd, deadline - time.monotonic()):
                return None
        line, _, rest = self.pending[fd].partition(LINE_END)
        self.pending[fd] = rest
        return line + LINE_END

    def stdout_line(self, limit=LINE_LIMIT):
        return self._line(self.process.stdout.fileno(), limit)

    def stderr_line(self, limit=LINE_LIMIT):
        return self._line(self.process.stderr.fileno(), limit)

    def stderr_so_far(self):
        """What the child has written to standard error up to now, without waiting."""
        fd = self.process.stderr.fileno()
        while self._fill(fd, 0):
            pass
        text, self.pending[fd] = self.pending[fd], b""
        return text

    def wait_exit(self, limit=EXIT_LIMIT):
        try:
            return self.process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            if self.wait_exit(10) is None:
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()
        self.process.stderr.close()


def wait_until_serving(service):
    """Sends 3-byte probes until one is answered, then a 4-byte marker, and reads up to
    the marker's answer, so that every probe's line has been consumed."""
    deadline = time.monotonic() + START_LIMIT
    answered = False
    while time.monotonic() < deadline and service.process.poll() is None:
        send(b"abc")
        line = service.stdout_line(limit=0.5)
        if line is not None:
            answered = check(line == b"invalid packet size : 3\r\n", "first answer to a probe: %r" % line)
            break
    if not answered:
        check(False, "the service answered a probe (exit status %r, stderr %r)"
              % (service.process.poll(), service.stderr_so_far()))
        return False
    send(b"abcd")
    while True:
        line = service.stdout_line()
        if line == b"invalid packet size : 4\r\n":
            return True
        if not check(line == b"invalid packet size : 3\r\n", "only probe answers before the marker: %r" % line):
            return False


def serving_checks(service):
    """Each datagram, then a marker; what came out before the marker is the datagram's."""
    speak_failure = b"error 80004001 \r\n"
    full_text = bytes([0, 0, 0, 0]) + b"z" * 4092  # a text field that fills the whole buffer
    cases = [
        ("3-byte datagram", b"abc", [b"invalid packet size : 3\r\n"], b""),
        ("empty datagram", b"", [b"invalid packet size : 0\r\n"], b""),
        # Winsock refuses a datagram larger than the receive buffer (WSAEMSGSIZE) rather
        # than cutting it, so it counts as a failed receive.
        ("4097-byte datagram", bytes([0, 0, 0, 0]) + b"z" * 4093, [b"invalid packet size : -1\r\n"], b""),
        ("4096-byte unknown command", bytes([6, 0, 0, 0]) + b"z" * 4092, [b"invalid command: 6\r\n"], b""),
        ("command 6", command(6, 1), [b"invalid command: 6\r\n"], b""),
        ("command 200", command(200, 1), [b"invalid command: 200\r\n"], b""),
        ("command 255", command(255), [b"invalid command: 255\r\n"], b""),
        ("command 2", command(2, 16, b"hi"), [], b""),
        ("command 4", command(4, 16, b"hi"), [], b""),
        ("command 5", command(5, 16, b"hi"), [], b""),
        ("set volume 50", command(1, 50), [], b""),
        ("set rate 65535", command(3, 65535), [], b""),
        ("speak", command(0, 0, b"hello"), [], speak_failure),
        ("speak without NUL", bytes([0, 0, 0, 0]) + b"abc", [], speak_failure),
        ("speak filling the buffer", full_text, [], speak_failure),
        ("speak empty text", command(0), [], speak_failure),
    ]
    marker = b"invalid packet size : 4\r\n"
    for name, datagram, stdout_lines, stderr_text in cases:
        send(datagram)
        send(b"abcd")
        seen = []
        while True:
            line = service.stdout_line()
            if line is None or line == marker:
                break
            seen.append(line)
        check(line == marker, "%s: the service went on serving" % name)
        check(seen == stdout_lines, "%s: standard output %r" % (name, seen))
        # The child writes standard error unbuffered before it reads the marker, so
        # whatever the datagram caused is already in the pipe.
        error_text = service.stderr_so_far()
        check(error_text == stderr_text, "%s: standard error %r" % (name, error_text))


def bind_failure_checks(runner, why):
    """A service started while the port is taken reports the address-in-use code
    (WSAEADDRINUSE, 10048) in hexadecimal, the "bind" error line, and exits with 1."""
    second = Service(runner)
    try:
        status = second.wait_exit()
        check(status == 1, "%s: exit status %r" % (why, status))
        out = second.stdout_line(limit=1)
        check(out == b"bind return error 2740\r\n", "%s: standard output %r" % (why, out))
        check(second.stdout_line(limit=0) is None, "%s: nothing more on standard output" % why)
        err = second.stderr_line(limit=1)
        check(err is not None and err.startswith(b"bind: ") and len(err) > len(b"bind: \r\n"),
              "%s: the bind error line on standard error %r" % (why, err))
        check(second.stderr_so_far() == b"", "%s: nothing more on standard error" % why)
    finally:
        second.stop()


def bind_when_free(sock):
    """Binds to the service's address. Under wine the socket of a stopped service belongs
    to the wine server, which closes it a moment after the process has gone."""
    deadline = time.monotonic() + EXIT_LIMIT
    while True:
        try:
            sock.bind(ADDRESS)
            return True
        except OSError:
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)


def main():
    runner = sys.argv[1:]
    if not runner:
        sys.exit(__doc__)

    service = Service(runner)
    try:
        if wait_until_serving(service):
            serving_checks(service)
            bind_failure_checks(runner, "second service on a taken port")
            send(b"abc")
            check(service.stdout_line() == b"invalid packet size : 3\r\n",
                  "the first service still serves after the second one failed")
    finally:
        service.stop()

    holder = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        if check(bind_when_free(holder), "the port is free again once the service is gone"):
            bind_failure_checks(runner, "port held by another program")
    finally:
        holder.close()

    # Leave the port as we found it for whoever runs next.
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as probe:
        check(bind_when_free(probe), "the port is free at the end")

    if failures:
        print("%d check(s) failed" % len(failures))
        sys.exit(1)
    print("all checks passed")


if __name__ == "__main__":
    main()
