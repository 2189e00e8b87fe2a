#!/usr/bin/env python3
"""A private nginx on 127.0.0.1 for tests and benchmarks (real Range handling).

  nginx_server.py [--max-seconds S] --run -- CMD ARGS...
      fresh web root; CMD runs with
        VANTREL_NGINX_SERVER=http://127.0.0.1:PORT
        VANTREL_NGINX_ROOT=<web root, unix path>
        VANTREL_NGINX_LOG=<access log, unix path>: one line per answer,
          'URI STATUS BODY_BYTES_SENT "RANGE"'
      then nginx stops and the temporaries go; exit code is CMD's.
  nginx_server.py --root DIR [--port N] [--port-file FILE] [--max-seconds S]
      serves DIR in the foreground until stopped or S seconds pass.

Config, pid file, logs and nginx's temp folders all live in one temporary
folder, so nothing outside it is touched and several copies can run at once.
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

NGINX = os.environ.get("VANTREL_NGINX", "/usr/sbin/nginx")

CONFIG = """\
{user}worker_processes 1;
daemon off;
master_process on;
pid {tmp}/nginx.pid;
error_log {tmp}/error.log warn;
events {{ worker_connections 128; }}
http {{
  log_format vantrel '$request_uri $status $body_bytes_sent "$http_range"';
  access_log {tmp}/access.log vantrel;
  client_body_temp_path {tmp}/body;
  proxy_temp_path {tmp}/proxy;
  fastcgi_temp_path {tmp}/fastcgi;
  uwsgi_temp_path {tmp}/uwsgi;
  scgi_temp_path {tmp}/scgi;
  default_type application/octet-stream;
  sendfile on;
  keepalive_timeout 30;
  server {{
    listen 127.0.0.1:{port};
    root {root};
    location / {{ }}
  }}
}}
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_listening(port, proc, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            return False
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.5):
                return True
        except OSError:
            time.sleep(0.05)
    return False


class Nginx:
    def __init__(self, root, port=0):
        self.tmp = tempfile.mkdtemp(prefix="vantrel-nginx-")
        self.root = os.path.realpath(root)
        self.proc = None
        self.access_log = os.path.join(self.tmp, "access.log")
        # An ephemeral port may be taken between the probe and nginx's bind.
        for _ in range(5):
            self.port = port or free_port()
            conf = os.path.join(self.tmp, "nginx.conf")
            user = "user root;\n" if os.geteuid() == 0 else ""
            with open(conf, "w") as f:
                f.write(CONFIG.format(user=user, tmp=self.tmp, port=self.port, root=self.root))
            self.proc = subprocess.Popen([NGINX, "-p", self.tmp, "-c", conf, "-e", os.path.join(self.tmp, "error.log")],
                                         stdin=subprocess.DEVNULL)
            if wait_listening(self.port, self.proc):
                return
            self.stop_process()
            if port:
                break
        log = open(os.path.join(self.tmp, "error.log"), errors="replace").read()
        self.close()
        raise RuntimeError("nginx did not start:\n" + log)

    def stop_process(self):
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGQUIT)  # graceful stop of master and worker
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc = None

    def close(self):
        self.stop_process()
        shutil.rmtree(self.tmp, ignore_errors=True)


def _terminate(signum, frame):
    raise KeyboardInterrupt()


def main(argv):
    signal.signal(signal.SIGTERM, _terminate)
    if "--run" in argv:
        i = argv.index("--run")
        head, cmd = argv[:i], argv[i + 1:]
        if cmd[:1] == ["--"]:
            cmd = cmd[1:]
    else:
        head, cmd = argv, None
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--root")
    p.add_argument("--port", type=int, default=0)
    p.add_argument("--port-file")
    p.add_argument("--max-seconds", type=float, default=900)
    args = p.parse_args(head)
    limit = args.max_seconds or None

    if cmd is not None:
        if not cmd:
            p.error("--run needs a command")
        root = tempfile.mkdtemp(prefix="vantrel-nginx-root-")
        os.chmod(root, 0o755)
        server = None
        try:
            server = Nginx(root)
            env = dict(os.environ)
            env["VANTREL_NGINX_SERVER"] = "http://127.0.0.1:%d" % server.port
            env["VANTREL_NGINX_ROOT"] = root
            env["VANTREL_NGINX_LOG"] = server.access_log
            proc = subprocess.Popen(cmd, env=env)
            try:
                return proc.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                sys.stderr.write("nginx_server: command exceeded %s s, killed\n" % args.max_seconds)
                proc.kill()
                proc.wait()
                return 124
            except KeyboardInterrupt:
                proc.kill()
                proc.wait()
                return 130
        finally:
            if server:
                server.close()
            shutil.rmtree(root, ignore_errors=True)

    if not args.root:
        p.error("give --run -- CMD or --root DIR")
    server = Nginx(args.root, args.port)
    try:
        if args.port_file:
            with open(args.port_file + ".tmp", "w") as f:
                f.write("%d\n" % server.port)
            os.replace(args.port_file + ".tmp", args.port_file)
        print("listening on http://127.0.0.1:%d" % server.port, flush=True)
        print("access log %s" % server.access_log, flush=True)
        server.proc.wait(timeout=limit)
    except (KeyboardInterrupt, subprocess.TimeoutExpired):
        pass
    finally:
        server.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
