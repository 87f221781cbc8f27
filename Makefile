# Two commands for a newcomer: `make run` builds Tamarin and starts it under
# Wine, `make test` builds everything and runs all tests. Both install what
# is missing first (as root, on Debian). `make dist` builds the two release
# archives in build/dist.
.PHONY: test run screenshot dist clean

test:
	bash scripts/test.sh

run:
	bash scripts/run.sh

screenshot:
	bash scripts/screenshot.sh

dist:
	bash scripts/dist.sh

clean:
	rm -rf build
