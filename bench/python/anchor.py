"""What a user would write instead of the tester: a few lines of Python's socket module.

    python3 anchor.py echo PORT    sends every byte it receives straight back
    python3 anchor.py flood PORT   reads whatever comes; at the end prints one line per
                                   read, "monotonic-ns bytes", for the benchmark's rates

Both connect to 127.0.0.1:PORT and stop when the other side closes the connection.
"""
import socket
import sys
import time


def main():
    mode, port = sys.argv[1], int(sys.argv[2])
    sock = socket.create_connection(("127.0.0.1", port))
    sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    if mode == "echo":
        while True:
            data = sock.recv(4096)
            if not data:
                break
            sock.sendall(data)
    else:
        reads = []
        while True:
            data = sock.recv(1 << 20)
            if not data:
                break
            reads.append((time.monotonic_ns(), len(data)))
        sys.stdout.write("".join("%d %d\n" % read for read in reads))
    sock.close()


if __name__ == "__main__":
    main()
