# Runs a command on a pseudo-terminal, answering its password prompts as a user at that
# terminal would: a wrong password first, then "secret". Between the first prompt and the
# answer the command is stopped and continued as a shell's job control does (the shell then
# sets its own mode, echo on, and the command must turn echo off again). Prints everything the
# terminal showed.
# Usage: terminal_run.py COMMAND ARGS... (the file asked about is named tty.mw)
import os, pty, signal, sys, termios, time
pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], sys.argv[1:])
seen = b""
def upto(token):
    global seen
    while token not in seen:
        try: chunk = os.read(fd, 4096)
        except OSError: chunk = b""
        if not chunk: return
        seen += chunk
upto(b'tty.mw": ')
def wait(done):  # up to 10 s
    for _ in range(1000):
        if done(): return
        time.sleep(0.01)
os.kill(pid, signal.SIGSTOP)  # stopped; the shell then sets its own mode, echo on; fg
wait(lambda: open('/proc/%d/stat' % pid).read().rsplit(')', 1)[1].split()[0] == 'T')
mode = termios.tcgetattr(fd)
mode[3] |= termios.ECHO
termios.tcsetattr(fd, termios.TCSANOW, mode)
os.kill(pid, signal.SIGCONT)
wait(lambda: not termios.tcgetattr(fd)[3] & termios.ECHO)
os.write(fd, b"guess1\n")
upto(b'Wrong password. Password for ')
upto(b'tty.mw": ')
os.write(fd, b"secret\n")
upto(b"Overall")
upto(b"never")  # to the end
sys.stdout.buffer.write(seen)
os.waitpid(pid, 0)
