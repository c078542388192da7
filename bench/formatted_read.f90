! The classic formatted read of a data file, kept as the yardstick of the
! library's reader: the header with (I6), each line with (15F10.0) into 4-byte
! reals. Prints the number of lines and a checksum of the float bits (row 2
! taken as its magnitude, as the library stores it), to be compared with
! vorsel_read_checksum.
program formatted_read
  implicit none
  integer, parameter :: i8 = selected_int_kind(18)
  character(len=4096) :: path
  integer :: u, ios, ncurves, c
  integer(i8) :: nlines, sum
  real :: row(15)

  if (command_argument_count() /= 1) then
    write (*, '(a)') 'usage: formatted_read FILE'
    stop 2
  end if
  call get_command_argument(1, path)
  open (newunit=u, file=trim(path), status='old', action='read', form='formatted', iostat=ios)
  if (ios /= 0) then
    write (*, '(a)') 'cannot open ' // trim(path)
    stop 1
  end if
  read (u, '(I6)') ncurves
  ncurves = min(ncurves, 15)
  nlines = 0
  sum = 0
  do
    read (u, '(15F10.0)', iostat=ios) row(1:ncurves)
    if (ios /= 0) exit
    nlines = nlines + 1
    if (row(2) < 0.0) row(2) = -row(2)
    do c = 1, ncurves
      sum = sum + int(c, i8) * iand(int(transfer(row(c), 0), i8), int(z'FFFFFFFF', i8))
    end do
  end do
  close (u)
  write (*, '(a, i0, a, i0)') 'lines ', nlines, ' checksum ', sum
end program formatted_read
