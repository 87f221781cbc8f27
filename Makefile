# Two commands for a newcomer: `make run` builds Tamarin and starts it under
# Wine, `make test` builds everything and runs all tests. Both install what
# is missing first (as root, on Debian).
.PHONY: test run screenshot clean

test:
	bash scripts/test.sh

run:
	bash scripts/run.sh

screenshot:
	bash scripts/screenshot.sh

clean:
	rm -rf build
