# The README's commands. Each one installs what is missing, configures and builds as needed.
.PHONY: all deps build test cross windows wine-test wine-test-x86 win-demo wine-demo wine-bench clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default

test: build
	@ctest --preset default

# Both Windows builds: 64-bit (build-mingw) and the 32-bit DLLs for 32-bit Office (build-mingw32).
cross:
	@tools/install-deps.sh --cross
	@cmake --preset mingw32 >/dev/null
	@cmake --build --preset mingw32
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw

# The Windows installer for a user: build-mingw/Quellin-Setup.exe (NSIS, per user, 64-bit Windows;
# the page, the add-in and the button controls for 64-bit and 32-bit Office). The 32-bit DLLs are
# built first: the 64-bit build's configuration finds them in build-mingw32.
windows:
	@tools/install-deps.sh --cross
	@cmake --preset mingw32 >/dev/null
	@cmake --build --preset mingw32
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target installer
	@echo "build-mingw/Quellin-Setup.exe"

# The Windows builds under Wine on a virtual display (installs Wine and Xvfb when missing): the
# 32-bit DLLs are built (the installer carries them), then the 64-bit build's suites run.
wine-test:
	@tools/install-deps.sh --wine
	@cmake --preset mingw32 >/dev/null
	@cmake --build --preset mingw32
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw
	@tools/wine.sh run ctest --preset mingw

# The 32-bit DLLs in 32-bit hosts under Wine's WoW64 (32-bit regsvr32 and cscript, a host playing
# 32-bit Outlook). Installs 32-bit Wine first, which also puts WoW64 into Wine prefixes made from
# then on. Where the kernel runs no 32-bit programs, 32-bit Wine runs through qemu-i386: then a new
# prefix takes about 8 minutes and this test about as long.
wine-test-x86:
	@tools/install-deps.sh --wine --wine32
	@cmake --preset mingw32 >/dev/null
	@cmake --build --preset mingw32
	@tools/wine.sh run ctest --preset mingw32

# The newcomer's example on the real Windows desktop under Wine (Outlook simulated in-process):
# qln-win plays examples/first-look.qls in real time (about 20 minutes: the example lets minutes
# pass between mails) and writes its snapshots, captured from the screen, to build-mingw/win-demo.
# It runs installed in C:\Program Files\Quellin as user "alice", the simulator's folder and user.
win-demo:
	@tools/install-deps.sh --wine
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target qln-win
	@tools/wine.sh install build-mingw/apps/qln-win/qln-win.exe
	@USER=alice tools/wine.sh exec 'C:\Program Files\Quellin\qln-win.exe' examples/first-look.qls --out build-mingw/win-demo

# QLN.exe beside the Outlook stand-in under Wine, installed as a user finds it: qln-drive delivers
# the example's mail through the stand-in and writes screenshots of the real desktop to
# build/wine-demo (about a minute).
wine-demo:
	@tools/install-deps.sh --wine
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target qln outlook-standin qln-drive
	@tools/wine-drive.sh demo build/wine-demo

# The benchmark of QLN.exe beside the stand-in: ItemAdd to the popup on screen, calls per item,
# idle CPU time and working set (about 3 minutes).
wine-bench:
	@tools/install-deps.sh --wine
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw --target qln outlook-standin qln-drive
	@tools/wine-drive.sh bench

clean:
	rm -rf build build-mingw build-mingw32

# The main job: build the scenario runner and run the newcomer's example, printing its transcript.
.PHONY: demo
demo: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default --target qln-sim
	@echo "--- qln-sim examples/first-look.qls (snapshots go to build/demo) ---"
	@build/apps/qln-sim/qln-sim examples/first-look.qls --out build/demo
