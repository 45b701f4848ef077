# One EXIT trap for a script and everything it sources: each clean-up step is
# added with on_exit and they run last-added first, so that a later step
# never replaces an earlier one. Sourced, not run.

QUOR_EXIT_STEPS=()

run_exit_steps() {
  local i
  for ((i = ${#QUOR_EXIT_STEPS[@]} - 1; i >= 0; i--)); do
    eval "${QUOR_EXIT_STEPS[i]}" || true
  done
  QUOR_EXIT_STEPS=()
}

# on_exit COMMAND [ARG]...: runs the command, its arguments quoted as given,
# when the script ends.
on_exit() {
  local step
  printf -v step '%q ' "$@"
  QUOR_EXIT_STEPS+=("$step")
  trap run_exit_steps EXIT
}
